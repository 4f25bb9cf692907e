// Draws N sprites (100, 1,000, 10,000; or the counts given as arguments) with the real sprite
// system under the offscreen video driver and prints milliseconds per frame. Half the sprites are
// plain textured quads, half animated 4-frame sheets, all tinted, in random depths.
// Runs in a temporary folder that links the repository's shaders, so no project file is written.
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
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Windows/WindowsSystems.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace OrvEngine;

namespace {

// <exe folder>/../Resources: the executable lives in a build folder at the repository's root.
fs::path RepositoryResources()
{
    return fs::canonical("/proc/self/exe").parent_path().parent_path() / "Resources";
}

fs::path MakeWorkFolder()
{
    char pattern[] = "/tmp/orvbench-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    fs::create_directories(root / "work");
    fs::create_directories(root / "Resources" / "ArtAssets");
    fs::create_directory_symlink(RepositoryResources() / "Shaders", root / "Resources" / "Shaders");
    fs::current_path(root / "work");
    return root;
}

// A strip of square frames, each a different colour.
void WriteSheet(const std::string& path, int frames)
{
    const int size = 32;
    FIBITMAP* image = FreeImage_Allocate(size * frames, size, 32);
    for (int y = 0; y < size; ++y) {
        BYTE* line = FreeImage_GetScanLine(image, y);
        for (int x = 0; x < size * frames; ++x) {
            const int frame = x / size;
            line[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(60 * frame + 40);
            line[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(4 * y + 50);
            line[x * 4 + FI_RGBA_BLUE] = static_cast<BYTE>(200 - 40 * frame);
            line[x * 4 + FI_RGBA_ALPHA] = (x % size > 2 && y > 2) ? 255 : 0;
        }
    }
    FreeImage_Save(FIF_PNG, image, path.c_str(), 0);
    FreeImage_Unload(image);
}

float Random01() { return static_cast<float>(Platform::Random15()) / 32767.0f; }

std::vector<Entity*> MakeSprites(int count)
{
    std::vector<Entity*> made;
    EntityFactory* factory = EntityFactory::GetInstance();
    for (int i = 0; i < count; ++i) {
        Entity* entity = factory->CreateEntity("Sprite" + std::to_string(i));
        auto transform = std::make_shared<Transform>();
        transform->position = Vec3(Random01() * 1.9f - 0.95f, Random01() * 1.9f - 0.95f, Random01() * 100.0f);
        transform->scale = Vec3(0.06f, 0.06f, 1.0f);
        transform->rotation = static_cast<float>(i % 360);
        entity->AddComponent(TRANSFORM, transform);
        auto sprite = std::make_shared<Sprite>();
        const bool sheet = i % 2 == 1;
        sprite->SetTexture(sheet ? "BenchSheet" : "BenchPicture");
        sprite->is_spritesheet = sheet;
        sprite->number_of_frames = 4;
        sprite->start_frame = 1;
        sprite->spritesheet_speed = 0.1f;
        sprite->SetTint(Color(1.0f, 0.9f, 0.8f, 1.0f), true);
        entity->AddComponent(SPRITE, sprite);
        factory->AddEntityToSystems(entity);
        made.push_back(entity);
    }
    return made;
}

struct FrameTimes {
    double mean = 0.0;
    double median = 0.0;
};

// Each frame is the engine's two drawing passes, finished (glFinish) so the rasterising counts.
FrameTimes MeasureFrames(int frames)
{
    Graphics* graphics = Graphics::GetInstance();
    SpriteSystem* sprites = SpriteSystem::GetInstance();
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        graphics->Update();
        sprites->Update();
        glFinish();
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
        times.push_back(spent.count());
    }
    FrameTimes result;
    for (double t : times) result.mean += t / static_cast<double>(times.size());
    std::sort(times.begin(), times.end());
    result.median = times.empty() ? 0.0 : times[times.size() / 2];
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts = {100, 1000, 10000};
    if (argc > 1) {
        counts.clear();
        for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const fs::path root = MakeWorkFolder();
    Logging::BeginRun();
    OrvCoreEngine = new CoreEngine();
    OrvCoreEngine->dt = 1.0f / 60.0f;
    Platform::SeedRandom(12345);

    WindowsSystems::GetInstance()->Init();
    Graphics::GetInstance()->Init();
    SpriteSystem::GetInstance()->Init();
    WriteSheet("../Resources/ArtAssets/BenchPicture.png", 1);
    WriteSheet("../Resources/ArtAssets/BenchSheet.png", 4);
    TextureManager::GetInstance()->LoadTexture("../Resources/ArtAssets/BenchPicture.png", "BenchPicture");
    TextureManager::GetInstance()->LoadTexture("../Resources/ArtAssets/BenchSheet.png", "BenchSheet");
    GameIsRunning = true; // straight to the back buffer, through the identity camera

    WindowsSystems* window = WindowsSystems::GetInstance();
    std::printf("bench_sprites: %llux%llu window, %s\n", static_cast<unsigned long long>(window->width),
                static_cast<unsigned long long>(window->height),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    // The driver compiles its shader variants on first use: one throw-away round first.
    std::vector<Entity*> warm_up = MakeSprites(1000);
    MeasureFrames(60);
    for (Entity* entity : warm_up) EntityFactory::GetInstance()->DestroyEntity(entity);

    for (int count : counts) {
        std::vector<Entity*> made = MakeSprites(count);
        MeasureFrames(10);
        const int frames = count >= 10000 ? 40 : 200;
        const FrameTimes ms = MeasureFrames(frames);
        std::printf("%6d sprites: %8.3f ms/frame median, %8.3f mean (%d frames)\n", count, ms.median, ms.mean,
                    frames);
        std::fflush(stdout);
        for (Entity* entity : made) EntityFactory::GetInstance()->DestroyEntity(entity);
    }

    SpriteSystem::DestroyInstance();
    Graphics::DestroyInstance();
    EntityFactory::DestroyInstance();
    WindowsSystems::DestroyInstance();
    ReleaseEngineObjects();
    Platform::Shutdown();
    Logging::Destroy();
    std::error_code ignored;
    fs::current_path("/");
    fs::remove_all(root, ignored);
    return 0;
}
