#include "CoreEngine/CoreEngine.h"

#include "CoreEngine/EditorState.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/SceneDriver.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include <algorithm>

namespace OrvEngine {

namespace {
const char* const kPauseFilter[] = {"SpriteSystem", "Graphics", "Windows", "Freetype", "SliderSystem",
                                    "EditorManager", "FPS", "ScriptSystem", "ButtonSystem", "ParentChildSystem"};

bool IsPaused()
{
    const SceneDriver* scenes = SceneDriver::Current();
    return scenes && scenes->IsPaused();
}

// Waits shorter than this are not worth a trip through the scheduler.
constexpr double kShortestWait = 0.001;

// The editor's unsaved work is named, so that a quick Escape does not lose it unawares.
std::string ExitQuestion()
{
    std::string text = "Are you sure you want to exit?";
    const EditorState* editor = EditorState::Current();
    const std::string unsaved = editor ? editor->UnsavedSceneName() : std::string();
    if (!unsaved.empty()) text += "\nThe scene " + unsaved + " has unsaved changes: they are lost on exit.";
    return text;
}
} // namespace

float FrameTime() { return OrvCoreEngine ? OrvCoreEngine->dt : 0.0f; }

float TotalTime()
{
    return OrvCoreEngine ? static_cast<float>(OrvCoreEngine->total - OrvCoreEngine->paused_total) : 0.0f;
}

CoreEngine::CoreEngine()
{
    ORV_ASSERT_AT(!OrvCoreEngine, "Game_Engine/CoreEngine/CoreEngine", "Core Engine is already created!");
    LogLine("Created Core Engine");
}

CoreEngine::~CoreEngine() { DestroySystems(); }

bool CoreEngine::PassesPauseFilter(const std::string& name)
{
    return std::any_of(std::begin(kPauseFilter), std::end(kPauseFilter),
                       [&](const char* allowed) { return name == allowed; });
}

void CoreEngine::AddSystem(ISystem* system)
{
    systems.push_back(system);
    LogLine("Added " + system->GetName() + " system");
}

void CoreEngine::InitializeSystems()
{
    for (ISystem* system : systems) {
        system->Init();
        PrintAndLog("Completed initializing " + system->GetName() + " system");
    }
}

void CoreEngine::GameLoop()
{
    while (running) RunFrame();
}

void CoreEngine::RunFrame()
{
    const double now = Platform::Now();
    current = now;
    dt = static_cast<float>(std::clamp(now - previous, 0.0, static_cast<double>(kMaxFrameTime)));
    previous = now;

    UpdateSystems();

    FPS::GetInstance()->EndFrame();
    if (SceneDriver* scenes = SceneDriver::Current()) scenes->Update();
    total += dt;
    if (IsPaused()) paused_total += dt;
    WaitOutRefreshPeriod();
}

void CoreEngine::WaitOutRefreshPeriod()
{
    // Without a window there is no display to keep pace with (tests, tools).
    if (!Platform::HasWindow()) return;
    const int rate = Platform::GetRefreshRate();
    const double period = 1.0 / (rate > 0 ? rate : kDefaultRefreshRate);
    // A swap that waits for the display has used the period up already; where the swap interval is
    // not honoured (Xvfb, some drivers) the frame is early and the loop would spin, so it sleeps.
    const double left = current + period - Platform::Now();
    if (left > kShortestWait) Platform::SleepFor(left);
}

void CoreEngine::UpdateSystems()
{
    FPS* fps = FPS::GetInstance();
    // Index loop: a system's update may not add systems, but the list is read afresh each step.
    for (size_t i = 0; i < systems.size(); ++i) {
        ISystem* system = systems[i];
        const std::string name = system->GetName();
        fps->Mark(total);
        if (!IsPaused() || PassesPauseFilter(name)) system->Update();
        fps->EndMark(name);
    }
}

void CoreEngine::BroadcastMessage(Message* message)
{
    if (message->id == MSG_QUIT) {
        running = false;
        PrintAndLog("Exiting game loop");
    } else if (message->id == MSG_CHAR && static_cast<CharMessage*>(message)->code == Platform::VK_ESCAPE_KEY &&
               !static_cast<CharMessage*>(message)->from_release) {
        HandleEscape();
    }
    for (size_t i = 0; i < systems.size(); ++i) {
        ISystem* system = systems[i];
        if (IsPaused() && !PassesPauseFilter(system->GetName())) continue;
        system->HandleMessage(message);
    }
}

bool CoreEngine::AskToExit()
{
    constexpr uint32_t kAskFlags = Platform::MB_YESNO_FLAG | Platform::MB_ICONINFO_FLAG | Platform::MB_DEFBUTTON2_FLAG;
    return Platform::ShowMessageBox(ExitQuestion(), "Exiting", kAskFlags) == Platform::ID_YES;
}

void CoreEngine::HandleEscape()
{
    if (!GameIsRunning) {
        if (AskToExit()) {
            QuitMessage quit;
            BroadcastMessage(&quit);
        }
        return;
    }
    if (SceneDriver* scenes = SceneDriver::Current()) scenes->TogglePause();
}

void CoreEngine::DestroySystems()
{
    while (!systems.empty()) {
        ISystem* system = systems.front();
        systems.erase(systems.begin());
        const std::string name = system->GetName();
        delete system;
        LogLine("Destroyed " + name + " system");
    }
}

} // namespace OrvEngine
