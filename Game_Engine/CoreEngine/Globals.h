// Program-wide flags that every module may read and write.
#pragma once

#include <string>

namespace OrvEngine {

class Camera;
class CoreEngine;
class SceneStateMachine;

extern int ShowCommand;
extern bool GameMode;          // start as the game, not the editor
extern bool GameIsRunning;     // played rather than edited
extern bool EditorVisible;
extern bool ShowDebugDrawing;  // collider outlines queued; frame rate in the title
extern Camera* ActiveCamera;
extern bool DialogueIsRunning;
extern bool IsPurifying;
// Set by the editor's Pause, cleared by its Play and Stop.
extern bool EditorPaused;
// The scene game mode starts with; tests set another to enter a level directly.
extern std::string StartScene;

// Puts the flags above and the shared values (SharedValues.h) back to their start; ShowCommand
// and the engine objects below stay.
void ResetGlobals();

// Clears what a level left under way when it is left, by any way: a dialogue or a purification
// (either would hold the next level's player). The shared values of the game's rules run on.
void ResetLevelState();

// Owning pointers, released by ReleaseEngineObjects after the engine run returns.
extern CoreEngine* OrvCoreEngine;
extern SceneStateMachine* OrvStateMachine;

} // namespace OrvEngine
