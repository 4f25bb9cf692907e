#include "Engine.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Factory/EntityFactory.h"
#include "LayerLinks.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptSystem.h"
#include "SystemList.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <ctime>
#include <exception>
#include <iostream>

namespace OrvEngine {

namespace {
// Blocks of a mebibyte and more (decoded pictures and sounds, the GL driver's texture storage) are
// mapped on their own and unmapped when freed. glibc's default raises that threshold to the size of
// each such block freed, after which they come from the heap and, as scenes trade textures, leave
// holes there that the process keeps.
void MapLargeBlocks()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

void StartUp()
{
    OrvCoreEngine = new CoreEngine();
    AddEngineSystems();
    OrvCoreEngine->InitializeSystems();
    EntityFactory::GetInstance()->LoadArchetypes();
    OrvStateMachine = new SceneStateMachine();
    PrintLine("SceneStateMachine Init()");
    if (GameMode) {
        OrvStateMachine->next_state = StartScene;
        GameIsRunning = true;
    }
}

void ShutDown()
{
    if (OrvStateMachine) {
        for (auto& [name, scene] : OrvStateMachine->scenes) {
            if (scene == OrvStateMachine->current_scene) scene->Free();
            scene->Unload();
        }
    }
    if (ScriptSystem::Exists()) ScriptSystem::GetInstance()->DropDetached();
    OrvCoreEngine->DestroySystems();
    Platform::Shutdown();
    Logging::GetInstance()->Close();
    Logging::Destroy();
}

void DestroyAfterException()
{
    LogLine("------------ Destroying All Entities -------------");
    auto scene = CurrentScene();
    if (scene) {
        for (auto& [id, entity] : scene->GetEntities()) {
            scene->RemoveEntity(id);
        }
    }
    // The scenes' stored entities too, while the factory that made them still exists.
    if (OrvStateMachine) {
        for (auto& [name, stored] : OrvStateMachine->scenes) stored->Unload();
    }
    if (ScriptSystem::Exists()) ScriptSystem::GetInstance()->DropDetached();
    LogLine("------------ Destroying All Systems -------------");
    if (OrvCoreEngine) OrvCoreEngine->DestroySystems();
    Platform::Shutdown();
    Logging::Destroy();
}
} // namespace

int RunEngine()
{
    ConnectLayers();
    Platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
    Logging::BeginRun();
    MapLargeBlocks();
    try {
        StartUp();
        OrvCoreEngine->GameLoop();
        ShutDown();
        return 0;
    } catch (const std::exception& e) {
        LogLine("------------ Exception Thrown -------------");
        LogLine(std::string("Exception: ") + e.what());
    } catch (...) {
        LogLine("------------ Exception Thrown -------------");
        LogLine("Unhandled exception!");
    }
    try {
        DestroyAfterException();
    } catch (...) {
        Logging::Destroy();
    }
    return 1;
}

void ReleaseEngineObjects()
{
    delete OrvCoreEngine;
    OrvCoreEngine = nullptr;
    delete OrvStateMachine;
    OrvStateMachine = nullptr;
}

int EngineMain(int show_command, bool game_mode)
{
    ShowCommand = show_command;
    GameMode = game_mode;
    EditorVisible = false;
    int result = 0;
    try {
        RegisterScripts();
        result = RunEngine();
    } catch (const std::exception& e) {
        std::cout << e.what() << std::endl;
        LogLine("------------ Exception Thrown -------------");
        LogLine(std::string("Exception: ") + e.what());
        Logging::Destroy();
        result = 1;
    }
    ReleaseEngineObjects();
    return result;
}

} // namespace OrvEngine
