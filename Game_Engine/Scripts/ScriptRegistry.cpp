// The registry of game script classes, by class name, in one fixed order.
#include "Scripts/ScriptSystem.h"

#include "Scripts/Companion/AIScript.h"
#include "Scripts/HUD/ArrowKeysUIScript.h"
#include "Scripts/HUD/IloHealthUIScript.h"
#include "Scripts/HUD/PuriIconAppear.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Player/PlayerScript.h"
#include "Scripts/Player/SpellsScript.h"

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
    Register<AIScript>(system, "AIScript");
    Register<PlayerScript>(system, "PlayerScript");
    Register<SpellsScript>(system, "SpellsScript");
    Register<IloHealthUIScript>(system, "IloHealthUIScript");
    Register<VavuHealthUIScript>(system, "VavuHealthUIScript");
    Register<LevelManagerScript>(system, "LevelManagerScript");
    Register<ArrowKeysUIScript>(system, "ArrowKeysUIScript");
    Register<PuriIconAppear>(system, "PuriIconAppear");
}

} // namespace OrvEngine
