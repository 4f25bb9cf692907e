// The registry of game script classes, by class name.
#include "Scripts/ScriptSystem.h"

namespace OrvEngine {

void RegisterScripts()
{
    // Creating the system here means it exists before the core engine adds it.
    ScriptSystem* system = ScriptSystem::GetInstance();
    (void)system;
}

} // namespace OrvEngine
