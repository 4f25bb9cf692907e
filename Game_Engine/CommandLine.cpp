#include "CommandLine.h"

#include "Engine.h"
#include "Logging/Logging.h"

namespace OrvEngine {

bool GameModeFromArguments(const std::vector<std::string>& arguments)
{
    bool game_mode = true;
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--editor") game_mode = false;
        else PrintLine("Unknown option '" + arguments[i] + "' ignored (the one option is --editor)");
    }
    return game_mode;
}

int ProgramMain(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + (argc > 0 ? argc : 0));
    return EngineMain(1, GameModeFromArguments(arguments));
}

} // namespace OrvEngine
