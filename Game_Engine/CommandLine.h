// The program's command line: one option, "--editor", which starts the level editor instead of
// the game. Everything else about a run comes from the data files.
#pragma once

#include <string>
#include <vector>

namespace OrvEngine {

// False when "--editor" is among the arguments (argv[0], the program, is skipped). Anything else
// is reported on standard output and ignored.
bool GameModeFromArguments(const std::vector<std::string>& arguments);
// What main does: the arguments, then the engine run; the run's exit code.
int ProgramMain(int argc, char** argv);

} // namespace OrvEngine
