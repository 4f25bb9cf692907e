// Sprites as players see them: a window of the given size, N alpha-blended sprites of 64x64 window
// pixels (one 64x64 texture) moving and changing depth every frame, so the draw list is re-sorted,
// drawn by the real Graphics and SpriteSystem passes and presented with one swap per frame, vsync
// off. Prints one line per N: wall and main-thread CPU milliseconds per frame, each the median over
// rounds that visit every N in turn.
//   bench_sprites [--size WxH] [--rounds R] [N ...]      (defaults: 1280x720, 3 rounds, 100 1000 10000)
// Uses the X display when DISPLAY is set (run it under xvfb-run for a headless X server), the
// offscreen driver otherwise. Runs in a temporary folder that links the repository's shaders.
#include "BenchSupport.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Engine.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Graphics/Graphics.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "LayerLinks.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Windows/WindowsSystems.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace OrvEngine;
using namespace OrvBench;

namespace {

struct Options {
    int width = 1280;
    int height = 720;
    int rounds = 3;
    std::vector<int> counts;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2) return false;
        } else if (arg == "--rounds" && i + 1 < argc) {
            options.rounds = std::atoi(argv[++i]);
        } else {
            const int count = std::atoi(arg.c_str());
            if (count <= 0) return false;
            options.counts.push_back(count);
        }
    }
    if (options.counts.empty()) options.counts = {100, 1000, 10000};
    return options.width > 0 && options.height > 0 && options.rounds > 0;
}

fs::path MakeWorkFolder(const Options& options)
{
    char pattern[] = "/tmp/orvbench-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    fs::create_directories(root / "work");
    fs::create_directories(root / "Resources" / "ArtAssets");
    fs::create_directories(root / "Resources" / "Data");
    fs::create_directory_symlink(RepositoryResources() / "Shaders", root / "Resources" / "Shaders");
    std::ofstream(root / "Resources" / "Data" / "config.json")
        << "{\"Name\": \"bench_sprites\", \"Width\": " << options.width << ", \"Height\": " << options.height << "}";
    fs::current_path(root / "work");
    return root;
}

// A 64x64 disc whose alpha falls off towards its rim, so blending matters at every sprite.
void WriteDisc(const std::string& path)
{
    const int size = 64;
    FIBITMAP* image = FreeImage_Allocate(size, size, 32);
    for (int y = 0; y < size; ++y) {
        BYTE* line = FreeImage_GetScanLine(image, y);
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f) / 32.0f - 1.0f;
            const float dy = (static_cast<float>(y) + 0.5f) / 32.0f - 1.0f;
            const float alpha = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
            line[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(80 + 2 * x);
            line[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(200 - 2 * y);
            line[x * 4 + FI_RGBA_BLUE] = 180;
            line[x * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(255.0f * std::sqrt(alpha));
        }
    }
    FreeImage_Save(FIF_PNG, image, path.c_str(), 0);
    FreeImage_Unload(image);
}

float Random01() { return static_cast<float>(Platform::Random15()) / 32767.0f; }

struct Mover {
    Entity* entity = nullptr;
    Transform* transform = nullptr;
    float vx = 0.0f, vy = 0.0f, vz = 0.0f;
};

// Positions are normalised device coordinates: the game runs without a camera.
std::vector<Mover> MakeSprites(int count, float sprite_w, float sprite_h)
{
    std::vector<Mover> made;
    EntityFactory* factory = EntityFactory::GetInstance();
    for (int i = 0; i < count; ++i) {
        Entity* entity = factory->CreateEntity("Sprite" + std::to_string(i));
        auto transform = std::make_shared<Transform>();
        transform->position = Vec3(Random01() * 2.0f - 1.0f, Random01() * 2.0f - 1.0f, Random01() * 100.0f);
        transform->scale = Vec3(sprite_w, sprite_h, 1.0f);
        entity->AddComponent(TRANSFORM, transform);
        auto sprite = std::make_shared<Sprite>();
        sprite->SetTexture("BenchDisc");
        entity->AddComponent(SPRITE, sprite);
        factory->AddEntityToSystems(entity);
        const float angle = Random01() * 6.2831853f;
        made.push_back({entity, transform.get(), 0.01f * std::cos(angle), 0.01f * std::sin(angle),
                        Random01() * 2.0f - 1.0f});
    }
    return made;
}

void Move(std::vector<Mover>& movers)
{
    for (Mover& m : movers) {
        Vec3& p = m.transform->position;
        p.x += m.vx;
        p.y += m.vy;
        p.z += m.vz;
        if (p.x < -1.0f || p.x > 1.0f) m.vx = -m.vx;
        if (p.y < -1.0f || p.y > 1.0f) m.vy = -m.vy;
        if (p.z < 0.0f || p.z > 100.0f) m.vz = -m.vz;
    }
}

// One frame as the engine makes it while the game runs, then the swap the editor manager does.
void Frame(std::vector<Mover>& movers, bool finish)
{
    Move(movers);
    Graphics::GetInstance()->Update();
    SpriteSystem::GetInstance()->Update();
    Platform::SwapBuffers();
    // The offscreen driver's swap does not wait for the picture: finishing counts the drawing.
    if (finish) glFinish();
}

struct PerFrame {
    double wall_ms = 0.0;
    double cpu_ms = 0.0;
    double all_cpu_ms = 0.0;
};

PerFrame MeasureRound(int count, float sprite_w, float sprite_h, bool finish)
{
    std::vector<Mover> movers = MakeSprites(count, sprite_w, sprite_h);
    for (int i = 0; i < 10; ++i) Frame(movers, finish);
    const int frames = std::clamp(200000 / count, 30, 300);
    const double wall0 = WallSeconds();
    const double cpu0 = ThreadCpuSeconds();
    const double all0 = ProcessCpuSeconds();
    for (int i = 0; i < frames; ++i) Frame(movers, finish);
    PerFrame result{(WallSeconds() - wall0) * 1000.0 / frames, (ThreadCpuSeconds() - cpu0) * 1000.0 / frames,
                    (ProcessCpuSeconds() - all0) * 1000.0 / frames};
    for (Mover& m : movers) EntityFactory::GetInstance()->DestroyEntity(m.entity);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_sprites [--size WxH] [--rounds R] [N ...]\n");
        return 2;
    }
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const fs::path root = MakeWorkFolder(options);
    Logging::BeginRun();
    ConnectLayers();
    OrvCoreEngine = new CoreEngine();
    OrvCoreEngine->dt = 1.0f / 60.0f;
    Platform::SeedRandom(12345);

    WindowsSystems* window = WindowsSystems::GetInstance();
    window->Init();
    window->LeaveFullscreen();
    Graphics::GetInstance()->Init();
    SpriteSystem::GetInstance()->Init();
    Platform::SetSwapInterval(0);
    WriteDisc("../Resources/ArtAssets/BenchDisc.png");
    TextureManager::GetInstance()->LoadTexture("../Resources/ArtAssets/BenchDisc.png", "BenchDisc");
    GameIsRunning = true; // straight to the back buffer, through the identity camera

    const bool finish = Platform::IsOffscreenVideo();
    const float sprite_w = 2.0f * 64.0f / static_cast<float>(window->width);
    const float sprite_h = 2.0f * 64.0f / static_cast<float>(window->height);
    std::printf("bench_sprites: %llux%llu window, %s, %s video, 64x64 sprites, vsync off, median of %d rounds\n",
                static_cast<unsigned long long>(window->width), static_cast<unsigned long long>(window->height),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), finish ? "offscreen" : "X11",
                options.rounds);
    // The driver compiles its shader variants on first use: one throw-away round first.
    MeasureRound(1000, sprite_w, sprite_h, finish);

    std::vector<std::vector<PerFrame>> results(options.counts.size());
    for (int round = 0; round < options.rounds; ++round) {
        for (size_t i = 0; i < options.counts.size(); ++i) {
            results[i].push_back(MeasureRound(options.counts[i], sprite_w, sprite_h, finish));
        }
    }
    for (size_t i = 0; i < options.counts.size(); ++i) {
        std::vector<double> wall, cpu, all_cpu;
        for (const PerFrame& r : results[i]) {
            wall.push_back(r.wall_ms);
            cpu.push_back(r.cpu_ms);
            all_cpu.push_back(r.all_cpu_ms);
        }
        std::printf("N %6d: %8.3f ms wall, %8.3f ms main-thread CPU, %8.3f ms all threads' CPU per frame\n",
                    options.counts[i], Median(wall), Median(cpu), Median(all_cpu));
    }
    std::fflush(stdout);

    SpriteSystem::DestroyInstance();
    Graphics::DestroyInstance();
    EntityFactory::DestroyInstance();
    WindowsSystems::DestroyInstance();
    ReleaseEngineObjects();
    Platform::Shutdown();
    Logging::Destroy();
    RemoveRunFolder(root);
    return 0;
}
