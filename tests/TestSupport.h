// Shared test fixtures: a throw-away data tree with the working directory inside it, a recorded
// assertion handler, and a reset of every engine singleton and flag between tests.
#pragma once

#include "Audio/AudioSystem.h"
#include "Components/ParentChildSystem.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Engine.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ResourceManager.h"
#include "Editor/EditorManager.h"
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
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptSystem.h"
#include "Windows/Input.h"
#include "Windows/WindowsSystems.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace OrvTest {

namespace fs = std::filesystem;

// A failed engine check, thrown by the test assertion handler.
struct AssertionFailure : std::runtime_error {
    explicit AssertionFailure(const OrvEngine::AssertInfo& info) : std::runtime_error(info.text), report(info) {}
    OrvEngine::AssertInfo report;
};

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline fs::path SourceDir() { return fs::path(ORV_SOURCE_DIR); }

// Deletes every system singleton and the engine objects, and resets the program-wide flags.
inline void ResetEngineState()
{
    using namespace OrvEngine;
    ReleaseEngineObjects();
    WindowsSystems::DestroyInstance();
    EntityFactory::DestroyInstance();
    ScriptSystem::DestroyInstance();
    Logic::DestroyInstance();
    ButtonSystem::DestroyInstance();
    Graphics::DestroyInstance();
    SpriteSystem::DestroyInstance();
    PhysicsSystem::DestroyInstance();
    CollisionSystem::DestroyInstance();
    ParentChildSystem::DestroyInstance();
    SliderSystem::DestroyInstance();
    FreetypeSystem::DestroyInstance();
    EditorManager::DestroyInstance();
    AudioSystem::DestroyInstance();
    ResourceManager::DestroyInstance();
    FPS::DestroyInstance();
    Input::Instance().Reset();
    Platform::ClearMessages();
    Platform::SetEventSource(nullptr);
    Platform::SetClockSource(nullptr);
    Platform::Shutdown();
    Logging::Destroy();
    GameMode = false;
    GameIsRunning = false;
    EditorVisible = false;
    ShowDebugDrawing = false;
    ActiveCamera = nullptr;
    DialogueRunning = false;
    PurificationActive = false;
}

// A fixture that runs each test in <tmp>/work, so "../Resources/Data/" and "../Logging/" land
// in <tmp>. Engine checks throw AssertionFailure; the null platform backend is on.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orvtest-XXXXXX";
        root_ = mkdtemp(pattern);
        fs::create_directories(root_ / "work");
        fs::create_directories(DataDir());
        old_cwd_ = fs::current_path();
        fs::current_path(root_ / "work");
        ResetEngineState();
        OrvEngine::Platform::UseNullBackend(true);
        OrvEngine::SetAssertHandler([](const OrvEngine::AssertInfo& info) { throw AssertionFailure(info); });
    }

    void TearDown() override
    {
        ResetEngineState();
        OrvEngine::SetAssertHandler(nullptr);
        OrvEngine::Platform::UseNullBackend(false);
        fs::current_path(old_cwd_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path Root() const { return root_; }
    fs::path DataDir() const { return root_ / "Resources" / "Data"; }
    fs::path LogPath() const { return root_ / "Logging" / "log.dat"; }
    std::string LogText() const { return ReadFile(LogPath()); }
    void WriteData(const std::string& name, const std::string& text) const { WriteFile(DataDir() / name, text); }
    std::string ReadData(const std::string& name) const { return ReadFile(DataDir() / name); }

private:
    fs::path root_;
    fs::path old_cwd_;
};

} // namespace OrvTest
