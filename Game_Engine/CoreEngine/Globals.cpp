#include "CoreEngine/Globals.h"

namespace OrvEngine {

int ShowCommand = 0;
bool GameMode = false;
bool GameIsRunning = false;
bool EditorVisible = false;
bool ShowDebugDrawing = false;
Camera* ActiveCamera = nullptr;
bool DialogueRunning = false;
bool PurificationActive = false;
CoreEngine* OrvCoreEngine = nullptr;
SceneStateMachine* OrvStateMachine = nullptr;

} // namespace OrvEngine
