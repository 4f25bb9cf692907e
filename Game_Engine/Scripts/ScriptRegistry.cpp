// The registry of game script classes, by class name, in one fixed order.
#include "Scripts/ScriptSystem.h"

#include "Scripts/Boss/BossScript.h"
#include "Scripts/Level/LevelManagerScript.h"

#include <memory>

namespace OrvEngine {

namespace {
template <class T>
void Register(ScriptSystem* system, const char* class_name)
{
    system->RegisterScript(class_name, std::make_shared<ScriptType<T>>(class_name));
}
} // namespace

void RegisterScripts()
{
    // Creating the system here means it exists before the core engine adds it.
    ScriptSystem* system = ScriptSystem::GetInstance();
    // Keep this list in the game's registration order; the names are the class names.
    Register<LevelManagerScript>(system, "LevelManagerScript");
    Register<BossScript>(system, "BossScript");
}

} // namespace OrvEngine
