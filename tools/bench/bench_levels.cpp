// Levels as players see them: the whole game, under its own loop and systems, plays stretches of
// GameScene_01 and GameScene_23 with Ilo walking right, and a standing fight in GameScene_01 where
// the enemies come to him. Keys go in through the window's message path, as a person's do. Game
// time advances 1/60 s a frame, so every run plays the very same frames, and the loop is paced at
// 60 frames a second in real time as the game paces itself: a frame finished early sleeps out the
// rest of its period. Prints one line per stretch:
//   frame: the work of a frame, wall milliseconds from its start to the start of its sleep
//          (median, 95th percentile, and how many frames outlasted the 16.7 ms period);
//   cores: CPU seconds per wall second over the stretch, the main thread's and all threads';
//   fragments: fragment-shader invocations per frame as the driver counts them, from a second,
//          unpaced replay of the stretch (counting changes what the driver may skip, so it is not
//          done while timing).
//   bench_levels [--frames N] [--rounds R] [--no-fragments] [walk01] [walk23] [fight01]
// Defaults: 900 frames (15 s), 1 round, all three stretches. Figures over several rounds are medians.
// Needs an X display: run it under xvfb-run -a -s '-screen 0 1280x720x24' for the 1280x720 window.
// Under valgrind --tool=callgrind --instr-atstart=no only the measured frames are counted (with
// LP_NUM_THREADS=0 llvmpipe draws on the main thread, so its work is counted as well).
// Runs in a temporary folder that links the repository's pictures, sounds, shaders and fonts and
// copies its data.
#include "BenchSupport.h"
#include "Components/Camera.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Engine.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <GL/glew.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace OrvEngine;
using namespace OrvBench;

namespace {

constexpr double kPeriod = 1.0 / 60.0;
// Frames in the level before measuring: the fade-in, god mode, the first steps, and the driver
// compiling its shader variants.
constexpr int kWarmUp = 120;
constexpr int kWalkFrom = 30;
// A fight is stood where an enemy is this close (world units), or where Ilo is after this many frames.
constexpr float kFoeNear = 6.0f;
constexpr int kLongestApproach = 1800;

enum class Stance { Walk, Fight };

struct Stretch {
    const char* key;
    const char* scene;
    const char* label;
    Stance stance;
};

const Stretch kStretches[] = {
    {"walk01", "GameScene_01", "GameScene_01 walking", Stance::Walk},
    {"walk23", "GameScene_23", "GameScene_23 walking", Stance::Walk},
    {"fight01", "GameScene_01", "GameScene_01 standing fight", Stance::Fight},
};

struct Options {
    int frames = 900;
    int rounds = 1;
    bool fragments = true;
    std::vector<const Stretch*> stretches;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            options.frames = std::atoi(argv[++i]);
        } else if (arg == "--rounds" && i + 1 < argc) {
            options.rounds = std::atoi(argv[++i]);
        } else if (arg == "--no-fragments") {
            options.fragments = false;
        } else {
            const auto found = std::find_if(std::begin(kStretches), std::end(kStretches),
                                            [&](const Stretch& s) { return arg == s.key; });
            if (found == std::end(kStretches)) return false;
            options.stretches.push_back(found);
        }
    }
    if (options.stretches.empty()) {
        for (const Stretch& s : kStretches) options.stretches.push_back(&s);
    }
    return options.frames > 0 && options.rounds > 0;
}

void Push(uint32_t message, uint64_t key) { Platform::PushMessage({message, key, 0}); }

// Shift with a letter: the player controller's debug keys (G: god mode, K: every enemy down).
void DebugKey(char key)
{
    Push(Platform::WM_KEYDOWN_MSG, Platform::VK_SHIFT_KEY);
    Push(Platform::WM_KEYDOWN_MSG, static_cast<uint64_t>(key));
    Push(Platform::WM_KEYUP_MSG, static_cast<uint64_t>(key));
    Push(Platform::WM_KEYUP_MSG, Platform::VK_SHIFT_KEY);
}

float XOf(Entity* entity)
{
    auto transform = entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
    return transform ? transform->position.x : 0.0f;
}

bool FoeNear(float ilo_x)
{
    auto scene = CurrentScene();
    if (!scene) return false;
    for (const auto& [id, entity] : scene->GetEntities()) {
        auto info = entity && entity->active ? entity->GetComponent<Information>(INFORMATION) : nullptr;
        if (info && info->GetType() == TAG_ENEMY && std::fabs(XOf(entity) - ilo_x) < kFoeNear) return true;
    }
    return false;
}

struct Result {
    std::vector<double> work_ms;
    double wall = 0.0, main_cpu = 0.0, all_cpu = 0.0;
    double fragments = -1.0; // per frame; negative when not counted
    float walked = 0.0f;
    int camera_moves = 0, kills = 0;
};

// One stretch: the game from its start scene to the end of the measured frames.
class StretchRun {
public:
    StretchRun(const Stretch& stretch, int frames, bool paced, bool count)
        : stretch_(stretch), frames_(frames), paced_(paced), count_(count)
    {
    }

    Result Run()
    {
        StartScene = stretch_.scene;
        Platform::SetClockSource([this] { return game_time_; });
        Platform::SetEventSource([this] { Frame(); });
        EngineMain(1);
        Platform::SetEventSource(nullptr);
        Platform::SetClockSource(nullptr);
        return result_;
    }

private:
    // Called at the start of each frame, from the window's event pump.
    void Frame()
    {
        const double now = WallSeconds();
        if (measuring_) result_.work_ms.push_back((now - frame_start_) * 1000.0);
        // The game sleeps out what is left of the period at the end of the frame; here at the start
        // of the next, which is the same wait.
        if (paced_ && frame_start_ > 0.0 && now < frame_start_ + kPeriod) {
            std::this_thread::sleep_for(std::chrono::duration<double>(frame_start_ + kPeriod - now));
        }
        frame_start_ = WallSeconds();
        game_time_ += kPeriod;
        if (frame_ == 0) Platform::SeedRandom(1);
        ++frame_;
        Play();
    }

    void Play()
    {
        auto scene = CurrentScene();
        const bool in_level = scene && scene->GetSceneName() == stretch_.scene;
        if (!in_level) return;
        ++level_frames_;
        Entity* ilo = scene->FindEntityByName("Player");
        const float ilo_x = XOf(ilo);
        if (level_frames_ == 5) DebugKey('G');
        if (enter_down_) Push(Platform::WM_KEYUP_MSG, Platform::VK_RETURN_KEY);
        enter_down_ = false;
        // Pictures and lines wait for Enter; pressed now and then, it moves them on.
        if (level_frames_ % 20 == 0) {
            Push(Platform::WM_KEYDOWN_MSG, Platform::VK_RETURN_KEY);
            Push(Platform::WM_CHAR_MSG, Platform::VK_RETURN_KEY);
            enter_down_ = true;
        }
        const bool approaching = stretch_.stance == Stance::Fight && !standing_;
        if (approaching && (FoeNear(ilo_x) || level_frames_ > kLongestApproach)) standing_ = true;
        const bool walking = level_frames_ > kWalkFrom && (stretch_.stance == Stance::Walk || !standing_);
        if (walking) {
            Push(Platform::WM_KEYDOWN_MSG, 'D');
            UnblockWalk(ilo_x);
        } else if (level_frames_ > kWalkFrom && !released_) {
            Push(Platform::WM_KEYUP_MSG, 'D');
            released_ = true;
        }
        const bool ready = level_frames_ >= kWarmUp && (stretch_.stance == Stance::Walk || standing_);
        if (measuring_) Measure(ilo_x);
        else if (ready && measured_ == 0) Begin(ilo_x);
    }

    // A barrier holds Ilo until its enemies are down: after a second without progress they are put
    // down, so the walk goes on scrolling.
    void UnblockWalk(float ilo_x)
    {
        if (ilo_x > progress_x_ + 0.05f) {
            progress_x_ = ilo_x;
            still_frames_ = 0;
        } else if (++still_frames_ == 60) {
            DebugKey('K');
            ++result_.kills;
            still_frames_ = 0;
        }
    }

    void Begin(float ilo_x)
    {
        measuring_ = true;
        start_x_ = ilo_x;
        camera_x_ = CameraX();
        result_.wall = WallSeconds();
        result_.main_cpu = ThreadCpuSeconds();
        result_.all_cpu = ProcessCpuSeconds();
        CALLGRIND_START_INSTRUMENTATION;
        // Drivers without pipeline statistics give no count.
        count_ = count_ && GLEW_ARB_pipeline_statistics_query;
        if (count_) queries_.assign(static_cast<size_t>(frames_), 0);
        if (count_) glGenQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
        BeginQuery();
    }

    void Measure(float ilo_x)
    {
        const float camera_x = CameraX();
        result_.camera_moves += camera_x != camera_x_;
        camera_x_ = camera_x;
        if (count_) glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
        if (++measured_ < frames_) {
            BeginQuery();
            return;
        }
        measuring_ = false;
        CALLGRIND_STOP_INSTRUMENTATION;
        result_.wall = WallSeconds() - result_.wall;
        result_.main_cpu = ThreadCpuSeconds() - result_.main_cpu;
        result_.all_cpu = ProcessCpuSeconds() - result_.all_cpu;
        result_.walked = ilo_x - start_x_;
        if (count_) ReadQueries();
        Push(Platform::WM_CLOSE_MSG, 0);
    }

    void BeginQuery()
    {
        if (count_) glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, queries_[static_cast<size_t>(measured_)]);
    }

    void ReadQueries()
    {
        double total = 0.0;
        for (GLuint query : queries_) {
            GLuint64 fragments = 0;
            glGetQueryObjectui64v(query, GL_QUERY_RESULT, &fragments);
            total += static_cast<double>(fragments);
        }
        glDeleteQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
        result_.fragments = total / static_cast<double>(queries_.size());
    }

    static float CameraX()
    {
        return ActiveCamera && ActiveCamera->transform ? ActiveCamera->transform->position.x : 0.0f;
    }

    const Stretch& stretch_;
    const int frames_;
    const bool paced_;
    bool count_;
    double game_time_ = 0.0;
    double frame_start_ = 0.0;
    int frame_ = 0, level_frames_ = 0, measured_ = 0, still_frames_ = 0;
    bool measuring_ = false, standing_ = false, released_ = false, enter_down_ = false;
    float start_x_ = 0.0f, progress_x_ = -1.0e9f, camera_x_ = 0.0f;
    std::vector<GLuint> queries_;
    Result result_;
};

double Percentile(std::vector<double> values, double p)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())));
    return values[at];
}

void Report(FILE* out, const Stretch& stretch, const std::vector<Result>& rounds, double fragments)
{
    std::vector<double> median, p95, main_cores, all_cores, late;
    for (const Result& r : rounds) {
        median.push_back(Median(r.work_ms));
        p95.push_back(Percentile(r.work_ms, 0.95));
        main_cores.push_back(r.main_cpu / r.wall);
        all_cores.push_back(r.all_cpu / r.wall);
        late.push_back(static_cast<double>(std::count_if(r.work_ms.begin(), r.work_ms.end(),
                                                         [](double ms) { return ms > kPeriod * 1000.0; })));
    }
    const Result& first = rounds.front();
    char counted[32] = "n/a";
    if (fragments >= 0.0) std::snprintf(counted, sizeof(counted), "%.2f M", fragments / 1.0e6);
    std::fprintf(out,
                 "%-28s frame %5.2f ms median, %5.2f ms p95, %4.0f over 16.7 ms | cores: main %.2f, all %.2f | "
                 "fragments/frame %s | %d frames, walked %.1f, camera moved %d%%\n",
                 stretch.label, Median(median), Median(p95), Median(late), Median(main_cores), Median(all_cores),
                 counted,
                 static_cast<int>(first.work_ms.size()), static_cast<double>(first.walked),
                 first.work_ms.empty() ? 0 : 100 * first.camera_moves / static_cast<int>(first.work_ms.size()));
    std::fflush(out);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_levels [--frames N] [--rounds R] [--no-fragments] [walk01] [walk23] [fight01]\n");
        return 2;
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_levels: no X display (run it under xvfb-run -a -s '-screen 0 1280x720x24')\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("CI", "true", 0);
    // The engine's own lines go to a file in the work folder; the results to standard output.
    FILE* out = fdopen(dup(1), "w");
    const fs::path root = MakeGameFolder("orvlevels");
    if (!std::freopen((root / "engine.out").c_str(), "w", stdout)) return 1;
    std::fprintf(out, "bench_levels: %d frames a stretch at 60 Hz, %d round(s)\n", options.frames, options.rounds);

    std::vector<std::vector<Result>> results(options.stretches.size());
    for (int round = 0; round < options.rounds; ++round) {
        for (size_t i = 0; i < options.stretches.size(); ++i) {
            results[i].push_back(StretchRun(*options.stretches[i], options.frames, true, false).Run());
        }
    }
    for (size_t i = 0; i < options.stretches.size(); ++i) {
        double fragments = -1.0;
        if (options.fragments) {
            StretchRun counting(*options.stretches[i], options.frames, false, true);
            const Result counted = counting.Run();
            fragments = counted.fragments;
        }
        Report(out, *options.stretches[i], results[i], fragments);
    }
    RemoveRunFolder(root);
    return 0;
}
