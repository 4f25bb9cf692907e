#include "CoreEngine/Engine.h"

#include "Audio/AudioSystem.h"
#include "Components/ParentChildSystem.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ResourceManager.h"
#include "Editor/EditorManager.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Graphics/ButtonSystem.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/SliderSystem.h"
#include "Graphics/SpriteSystem.h"
#include "Logging/Logging.h"
#include "Logic/Logic.h"
#include "Physics/CollisionSystem.h"
#include "Physics/PhysicsSystem.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptSystem.h"
#include "Windows/WindowsSystems.h"

#include <ctime>
#include <exception>
#include <iostream>

namespace OrvEngine {

void AddEngineSystems()
{
    CoreEngine* engine = OrvCoreEngine;
    engine->AddSystem(WindowsSystems::GetInstance());
    engine->AddSystem(EntityFactory::GetInstance());
    engine->AddSystem(ScriptSystem::GetInstance());
    engine->AddSystem(Logic::GetInstance());
    engine->AddSystem(ButtonSystem::GetInstance());
    engine->AddSystem(Graphics::GetInstance());
    engine->AddSystem(SpriteSystem::GetInstance());
    engine->AddSystem(PhysicsSystem::GetInstance());
    engine->AddSystem(CollisionSystem::GetInstance());
    engine->AddSystem(ParentChildSystem::GetInstance());
    engine->AddSystem(SliderSystem::GetInstance());
    engine->AddSystem(FreetypeSystem::GetInstance());
    engine->AddSystem(EditorManager::GetInstance());
    engine->AddSystem(AudioSystem::GetInstance());
    engine->AddSystem(ResourceManager::GetInstance());
    engine->AddSystem(FPS::GetInstance());
}

namespace {
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
    LogLine("------------ Destroying All Systems -------------");
    if (OrvCoreEngine) OrvCoreEngine->DestroySystems();
    Platform::Shutdown();
    Logging::Destroy();
}
} // namespace

int RunEngine()
{
    Platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
    Logging::BeginRun();
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
