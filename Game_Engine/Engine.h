// The entry point's steps and the engine run: start-up in the fixed system order, the loop,
// shutdown, and the guarded block that turns any exception into an orderly, failed exit.
#pragma once

namespace OrvEngine {

// The program entry: flags, script registration, the engine run. 0 after a normal quit.
// game_mode false starts the editor: no scene is queued and Tab shows the editor.
int EngineMain(int show_command, bool game_mode = true);
// Creates, starts, drives and shuts down everything; non-zero when an exception ended the run.
int RunEngine();
// Deletes the core engine and the scene state machine (after the run has returned).
void ReleaseEngineObjects();

} // namespace OrvEngine
