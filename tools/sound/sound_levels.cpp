// The game's sound levels as a player hears them. The bot of tests/GameBot.h plays chapter 1
// (GameScene_01) and the ruins (GameScene_23) to their ends, without god mode or debug keys, while
// SDL's disk audio driver writes the mixed output (44,100 Hz, two signed 16-bit channels) to a
// file. The driver writes in wall time, so game time is paced to it: 0.05 s a frame, as the level
// tests play. For each level it prints the share of samples at full scale, the longest run of them
// on one channel, the peak, and the loudness (RMS) of the whole recording and of its loudest second.
// Then, for every sound file, its peak and its loudest 100 ms (RMS) as the mixer plays them, and how
// far that stands above the level music's RMS; with --before DIR, beside the same figures of the
// files in DIR (an older Resources/Sounds, for example from `git archive`).
// Exits 1 when a level has 0.01 % or more of its samples at full scale, or when an effect's loudest
// 100 ms stands more than 4 dB under the level music's RMS.
//   sound_levels [--seed N] [--keep DIR] [--sounds-only] [--before DIR] [GameScene_01] [GameScene_23]
// Runs in a temporary folder that links the repository's pictures, sounds, shaders and fonts and
// copies its data; --keep copies each level's recording (<scene>.raw) into DIR.
#include "../bench/BenchSupport.h"
#include "GameBot.h"
#include "SampleFigures.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace OrvEngine;
using namespace OrvTest;
using OrvBench::WallSeconds;

namespace {

constexpr double kFrameTime = 0.05;
// A level that has not ended after this many frames (ten minutes of play) is closed.
constexpr int kFrameLimit = 12000;
constexpr double kFullScaleLimit = 0.01; // per cent of samples
// An effect whose loudest 100 ms is further than this under the level music's RMS is buried by it.
constexpr double kBuriedBelowMusic = 4.0; // dB

struct Level {
    const char* scene;
    const char* next; // the scene the level leads to; the run stops there
    const char* music;
};

const Level kLevels[] = {
    {"GameScene_01", "GameScene_24", "BGM_Level2"},
    {"GameScene_23", "GameScene_20", "BGM_Level1"},
};

struct Options {
    uint32_t seed = 1;
    bool sounds_only = false;
    fs::path keep, before;
    std::vector<const Level*> levels;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--seed" && has_value) {
            options.seed = static_cast<uint32_t>(std::atoi(argv[++i]));
        } else if (arg == "--keep" && has_value) {
            options.keep = argv[++i];
        } else if (arg == "--before" && has_value) {
            options.before = argv[++i];
        } else if (arg == "--sounds-only") {
            options.sounds_only = true;
        } else {
            const auto found = std::find_if(std::begin(kLevels), std::end(kLevels),
                                            [&](const Level& level) { return arg == level.scene; });
            if (found == std::end(kLevels)) return false;
            options.levels.push_back(found);
        }
    }
    if (options.levels.empty()) {
        for (const Level& level : kLevels) options.levels.push_back(&level);
    }
    return true;
}

SampleFigures MeasureRecording(const fs::path& raw)
{
    const std::string bytes = ReadFile(raw);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                          (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    }
    return MeasureSamples(samples.data(), samples.size(), kMixRate);
}

// ---- Playing a level ------------------------------------------------------------------------------

fs::path MakeWorkFolder()
{
    const fs::path root = OrvBench::MakeGameFolder("orvsound", SourceDir() / "Resources");
    // No pixels are read: a small window costs the software renderer a sixteenth of the full one.
    WriteFile(root / "Resources" / "Data" / "config.json", R"({"Name": "OrvEngine", "Height": 180, "Width": 320})");
    return root;
}

struct LevelResult {
    std::vector<std::string> scenes;
    int frames = 0, late_frames = 0;
    bool died = false;
};

// Plays `level` from its start with the bot until it leads on, game time paced to wall time.
LevelResult PlayLevel(const Level& level, uint32_t seed, const fs::path& raw)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    ResetEngineState();
    StartScene = level.scene;
    GameBot bot({/*god_mode=*/false, /*weaken=*/false, /*die_once=*/false});
    bot.stop_at = level.next;
    LevelResult result;
    double now = 0.0;
    const double start = WallSeconds();
    Platform::SetClockSource([&] { return now; });
    Platform::SetEventSource([&] {
        now += kFrameTime;
        if (result.frames++ == 0) Platform::SeedRandom(seed);
        const double due = start + result.frames * kFrameTime;
        const double wall = WallSeconds();
        if (wall < due) {
            std::this_thread::sleep_for(std::chrono::duration<double>(due - wall));
        } else if (wall > due + kFrameTime) {
            ++result.late_frames;
        }
        bot.Frame();
        if (CurrentSceneName() == bot.stop_at || result.frames > kFrameLimit) {
            Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
        }
    });
    EngineMain(1);
    ResetEngineState();
    result.scenes = bot.scenes;
    for (const LevelVisit& visit : bot.visits) result.died = result.died || visit.died;
    return result;
}

// ---- The sound files ------------------------------------------------------------------------------

// Each file of `folder` as the mixer decodes it for the game's output: peak and loudest 100 ms.
std::map<std::string, SampleFigures> MeasureSounds(const fs::path& folder)
{
    std::map<std::string, SampleFigures> figures;
    const MixerDecoder mixer;
    for (const auto& entry : fs::directory_iterator(folder)) {
        SampleFigures f;
        if (entry.path().extension() == ".ogg" && mixer.Measure(entry.path(), kMixRate / 10, f)) {
            figures[entry.path().stem().string()] = f;
        }
    }
    return figures;
}

// The music beds' names: the manifest's "music" lines.
std::set<std::string> MusicNames()
{
    std::set<std::string> names;
    std::istringstream manifest(ReadFile(SourceDir() / "tools" / "assets" / "manifest.txt"));
    std::string line, kind, name;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        if (fields >> kind >> name && kind == "music") names.insert(name);
    }
    return names;
}

// The RMS of the level music the effects play over: both level beds' mean power.
double MusicRms(const std::map<std::string, SampleFigures>& sounds)
{
    double power = 0.0;
    int count = 0;
    for (const Level& level : kLevels) {
        auto found = sounds.find(level.music);
        if (found == sounds.end()) continue;
        power += found->second.rms * found->second.rms;
        ++count;
    }
    return count ? std::sqrt(power / count) : 0.0;
}

// Prints the table; returns the effects the music buries.
std::vector<std::string> ReportSounds(FILE* out, const std::map<std::string, SampleFigures>& now,
                                      const std::map<std::string, SampleFigures>& before)
{
    std::vector<std::string> buried;
    const std::set<std::string> music = MusicNames();
    const double music_now = MusicRms(now), music_before = MusicRms(before);
    std::fprintf(out, "\nsounds as the mixer plays them: peak and loudest 100 ms (RMS) in dBFS, and that loudness\n"
                      "against the level music's RMS (%.1f dBFS", Decibels(music_now));
    if (!before.empty()) std::fprintf(out, ", before %.1f dBFS", Decibels(music_before));
    std::fprintf(out, ")\n%-24s %7s %7s %8s", "sound", "peak", "100ms", "vs music");
    if (!before.empty()) std::fprintf(out, " | %7s %7s %8s | %7s", "before", "100ms", "vs music", "change");
    std::fprintf(out, "\n");
    for (const auto& [name, f] : now) {
        const double over = Decibels(f.loudest_rms) - Decibels(music_now);
        if (!music.count(name) && over < -kBuriedBelowMusic) buried.push_back(name);
        std::fprintf(out, "%-24s %7.1f %7.1f %+8.1f", name.c_str(), Decibels(f.peak), Decibels(f.loudest_rms), over);
        auto old = before.find(name);
        if (old != before.end()) {
            const SampleFigures& b = old->second;
            const double over_before = Decibels(b.loudest_rms) - Decibels(music_before);
            std::fprintf(out, " | %7.1f %7.1f %+8.1f | %+7.1f", Decibels(b.peak), Decibels(b.loudest_rms), over_before,
                         Decibels(f.loudest_rms) - Decibels(b.loudest_rms));
        }
        std::fprintf(out, "\n");
    }
    std::string names;
    for (const std::string& name : buried) names += " " + name;
    std::fprintf(out, "effects more than %.0f dB under the music:%s\n", kBuriedBelowMusic, buried.empty() ? " none" : names.c_str());
    return buried;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: sound_levels [--seed N] [--keep DIR] [--sounds-only] [--before DIR] "
                             "[GameScene_01] [GameScene_23]\n");
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("CI", "true", 1);
    // The engine's own lines go to a file in the work folder; the figures to standard output.
    FILE* out = fdopen(dup(1), "w");
    const fs::path root = MakeWorkFolder();
    if (!std::freopen((root / "engine.out").c_str(), "w", stdout)) return 1;

    bool clipped = false;
    if (!options.sounds_only) {
        std::fprintf(out, "level          full scale   longest run  peak   RMS dBFS  loudest 1 s  | played\n");
        for (const Level* level : options.levels) {
            const fs::path raw = root / (std::string(level->scene) + ".raw");
            const LevelResult played = PlayLevel(*level, options.seed, raw);
            const SampleFigures f = MeasureRecording(raw);
            clipped = clipped || f.FullScalePercent() >= kFullScaleLimit;
            std::string scenes;
            for (const std::string& scene : played.scenes) scenes += (scenes.empty() ? "" : " > ") + scene;
            std::fprintf(out, "%-14s %8.4f %%  %7zu      %5.3f  %7.1f  %9.1f     | %.0f s of sound, %d frames (%d late)%s: %s\n",
                         level->scene, f.FullScalePercent(), f.longest_run, f.peak, Decibels(f.rms),
                         Decibels(f.loudest_rms), static_cast<double>(f.samples / 2) / kMixRate, played.frames,
                         played.late_frames, played.died ? ", Ilo died" : "", scenes.c_str());
            std::fflush(out);
            if (!options.keep.empty()) {
                fs::create_directories(options.keep);
                fs::copy_file(raw, options.keep / raw.filename(), fs::copy_options::overwrite_existing);
            }
        }
    }
    const auto now = MeasureSounds(SourceDir() / "Resources" / "Sounds");
    const auto before = options.before.empty() ? std::map<std::string, SampleFigures>() : MeasureSounds(options.before);
    const bool buried = !ReportSounds(out, now, before).empty();
    if (clipped) std::fprintf(out, "\nFAILED: a level has %.2f %% or more of its samples at full scale\n", kFullScaleLimit);
    if (buried) std::fprintf(out, "\nFAILED: the music buries an effect\n");
    std::fflush(out);
    OrvBench::RemoveRunFolder(root);
    return clipped || buried ? 1 : 0;
}
