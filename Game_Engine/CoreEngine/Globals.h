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

// Puts back what a level sets in the program-wide state when it is left, by any way: a dialogue
// or a purification under way and the shared values of the game's rules (all but the prefab name
// counter and the collider version, which only ever grow).
void ResetLevelState();

// Owning pointers, released by ReleaseEngineObjects after the engine run returns.
extern CoreEngine* OrvCoreEngine;
extern SceneStateMachine* OrvStateMachine;

} // namespace OrvEngine
