#include "CoreEngine/Globals.h"

#include "CoreEngine/SharedValues.h"

namespace OrvEngine {

int ShowCommand = 0;
bool GameMode = false;
bool GameIsRunning = false;
bool EditorVisible = false;
bool ShowDebugDrawing = false;
Camera* ActiveCamera = nullptr;
bool DialogueIsRunning = false;
bool IsPurifying = false;
bool EditorPaused = false;
std::string StartScene = "SplashScene_00";
CoreEngine* OrvCoreEngine = nullptr;
SceneStateMachine* OrvStateMachine = nullptr;

void ResetGlobals()
{
    GameMode = false;
    GameIsRunning = false;
    EditorVisible = false;
    ShowDebugDrawing = false;
    ActiveCamera = nullptr;
    DialogueIsRunning = false;
    IsPurifying = false;
    EditorPaused = false;
    StartScene = "SplashScene_00";
    Shared() = SharedValues();
}

void ResetLevelState()
{
    DialogueIsRunning = false;
    IsPurifying = false;
}

} // namespace OrvEngine
