// Memory over many games: the test suite's bot (tests/GameBot.h) plays the whole game, from the
// intro pictures through the tutorial, chapter 1, the epilogue and the ruins to the end screen and
// back to the main menu, again and again, and at each visit of the main menu prints the process's
// resident memory and what the engine holds then. Memory that grows from one game to the next shows
// as a resident size that keeps climbing; the columns beside it say what climbed with it.
//   bench_memory [--games N] [--small]
// Defaults: 10 games (11 main-menu visits), the configured 1280x720 window; --small plays in a
// 320x180 window, as the end-to-end tests do. Game time advances 0.05 s a frame, as in those tests,
// and frames are not paced: a game is some 2,100 frames. Ends with the third and tenth visits'
// difference.
// Columns, in MiB: rss, anon and file, the process's resident memory and its anonymous and
// file-backed parts; held, what malloc has from the system (mallinfo2's arena + hblkhd); in use,
// what malloc has handed out and not had back (uordblks + hblkhd); textures, the GL textures alive.
// Then counts: the loaded scenes' entities, the systems' lists, the pictures (textures by name) and
// sounds known.
// Without an X display it draws on SDL's offscreen driver. Runs in a temporary folder that links
// the repository's pictures, sounds, shaders and fonts and copies its data.
//
// What grew, in two ways. Under Xvfb, resident memory rose by some 55 MiB over the first two games
// while malloc's in-use memory stayed flat: glibc raises its threshold for mapping a block on its
// own to the size of each large block freed, so texture storage then came from the heap, and the
// holes scenes trading textures left there were kept. On SDL's offscreen driver, whose swap does
// not wait, the loop also handed llvmpipe frames faster than its rasteriser threads drew them (60 to
// 80 frames queued at the start of a frame) and the driver kept those frames' memory: in-use memory
// reached 2.4 GiB at 1280x720 by the third visit. What stopped them: large blocks are mapped on
// their own from start-up (Engine.cpp), and the frame fence (Graphics/FrameFence.h) holds the loop
// at most one frame ahead of the driver. Resident memory now stays between 140 and 160 MiB.
#include "BenchSupport.h"
#include "GameBot.h"

#include "Audio/AudioSystem.h"
#include "Components/ParentChildSystem.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "Physics/CollisionSystem.h"
#include "Physics/PhysicsSystem.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;
using namespace OrvEngine;
using namespace OrvBench;

namespace {

constexpr double kFrameTime = 0.05;
constexpr double kMiB = 1024.0 * 1024.0;
// A run that does not come back to the menu in this many frames is stuck.
constexpr int kFramesPerGame = 6000;

struct Options {
    int games = 10;
    bool small = false;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--games" && i + 1 < argc) options.games = std::atoi(argv[++i]);
        else if (arg == "--small") options.small = true;
        else return false;
    }
    return options.games > 0;
}

// The fields of /proc/self/status that hold resident sizes, in MiB.
std::map<std::string, double> ResidentSizes()
{
    std::map<std::string, double> sizes;
    std::ifstream status("/proc/self/status");
    std::string field;
    double kib = 0.0;
    while (status >> field) {
        if (field.rfind("Rss", 0) == 0 || field == "VmRSS:") {
            if (status >> kib) sizes[field] = kib / 1024.0;
        }
    }
    return sizes;
}

double LiveTextureMiB()
{
    double bytes = 0.0;
    for (const auto& [name, texture] : TextureManager::GetInstance()->textures) {
        if (texture && texture->id) bytes += 4.0 * texture->width * texture->height;
    }
    return bytes / kMiB;
}

size_t LoadedEntities()
{
    size_t count = 0;
    for (const auto& [name, scene] : OrvStateMachine->scenes) count += scene->GetEntities().size();
    return count;
}

fs::path MakeWorkFolder(bool small)
{
    const fs::path root = MakeGameFolder("orvmemory");
    const char* small_window = R"({"Name": "OrvEngine", "Height": 180, "Width": 320})";
    if (small) std::ofstream(root / "Resources" / "Data" / "config.json") << small_window;
    return root;
}

void PrintHeader(FILE* out)
{
    std::fprintf(out, "%5s %6s %6s %6s %6s %6s %6s %8s %8s %7s %7s %9s %6s %5s %8s %8s %6s\n", "visit", "frame", "rss",
                 "anon", "file", "held", "in use", "textures", "entities", "scripts", "sprites", "colliders", "bodies",
                 "texts", "children", "pictures", "sounds");
}

// Prints one visit's line; returns its resident size.
double PrintVisit(FILE* out, int visit, int frame)
{
    std::map<std::string, double> resident = ResidentSizes();
    const struct mallinfo2 heap = mallinfo2();
    std::fprintf(out, "%5d %6d %6.1f %6.1f %6.1f %6.1f %6.1f %8.1f %8zu %7zu %7zu %9zu %6zu %5zu %8zu %8zu %6zu\n",
                 visit, frame, resident["VmRSS:"], resident["RssAnon:"], resident["RssFile:"],
                 static_cast<double>(heap.arena + heap.hblkhd) / kMiB,
                 static_cast<double>(heap.uordblks + heap.hblkhd) / kMiB, LiveTextureMiB(), LoadedEntities(),
                 ScriptSystem::GetInstance()->scripts.size(), SpriteSystem::GetInstance()->sprites.size(),
                 CollisionSystem::GetInstance()->GetColliders().size(),
                 PhysicsSystem::GetInstance()->GetBodies().size(), FreetypeSystem::GetInstance()->texts.size(),
                 ParentChildSystem::GetInstance()->GetChildren().size(),
                 TextureManager::GetInstance()->textures.size(), AudioSystem::GetInstance()->SoundMap.size());
    std::fflush(out);
    return resident["VmRSS:"];
}

// Plays `games` games, printing a line as the main menu is first shown each time; the resident
// size at each visit goes into `rss`. 0 when every game came back to the menu.
int Play(FILE* out, int games, std::vector<double>& rss)
{
    OrvTest::BotOptions options;
    options.god_mode = true;
    options.weaken = true;
    options.play_again = true;
    OrvTest::GameBot bot(options);
    int frame = 0, last_visit_frame = 0;
    double now = 0.0;
    std::string scene;
    Platform::SetClockSource([&] { return now; });
    Platform::SetEventSource([&] {
        now += kFrameTime;
        if (frame++ == 0) Platform::SeedRandom(1);
        bot.Frame();
        const std::string current = OrvTest::CurrentSceneName();
        if (current != scene && current == "MainMenuScene") {
            rss.push_back(PrintVisit(out, static_cast<int>(rss.size()) + 1, frame));
            last_visit_frame = frame;
            // What the bot records of each game would grow with the games.
            bot.scenes.clear();
            bot.lines.clear();
            bot.speakers.clear();
            bot.pictures.clear();
            bot.visits.clear();
            bot.wrong_exits.clear();
        }
        scene = current;
        const bool done = static_cast<int>(rss.size()) > games;
        const bool stuck = frame - last_visit_frame > kFramesPerGame;
        if (stuck) std::fprintf(out, "stuck in %s at frame %d\n", current.c_str(), frame);
        if (done || stuck) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });
    const int result = EngineMain(1);
    Platform::SetEventSource(nullptr);
    Platform::SetClockSource(nullptr);
    return result == 0 && static_cast<int>(rss.size()) > games ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_memory [--games N] [--small]\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("CI", "true", 0);
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // The engine's own lines go to a file in the work folder; the figures to standard output.
    FILE* out = fdopen(dup(1), "w");
    const fs::path root = MakeWorkFolder(options.small);
    if (!std::freopen((root / "engine.out").c_str(), "w", stdout)) return 1;
    std::fprintf(out, "bench_memory: %d games, %s window, %s\n", options.games,
                 options.small ? "320x180" : "configured", std::getenv("DISPLAY") ? "X display" : "offscreen");
    PrintHeader(out);
    std::vector<double> rss;
    const int result = Play(out, options.games, rss);
    if (rss.size() >= 10) std::fprintf(out, "tenth visit - third visit: %+.1f MiB resident\n", rss[9] - rss[2]);
    RemoveRunFolder(root);
    return result;
}
