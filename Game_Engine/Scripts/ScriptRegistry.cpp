// The registry of game script classes, by class name, in one fixed order.
#include "Scripts/ScriptSystem.h"

#include "Scripts/Boss/BossScript.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Hazards/BarrierScript.h"
#include "Scripts/Hazards/BoulderScript.h"
#include "Scripts/Hazards/DeathWallScript.h"
#include "Scripts/Hazards/HazardZoneScript.h"
#include "Scripts/Hazards/PoisonFloorScript.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Level/SpawnerScript.h"
#include "Scripts/Level/WinOnCollisionScript.h"

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
    Register<EnemyScript>(system, "EnemyScript");
    Register<DefenseEnemyScript>(system, "DefenseEnemyScript");
    Register<SpawnerScript>(system, "SpawnerScript");
    Register<WinOnCollisionScript>(system, "WinOnCollisionScript");
    Register<DeathWallScript>(system, "DeathWallScript");
    Register<BarrierScript>(system, "BarrierScript");
    Register<Boulder1D3SScript>(system, "Boulder1D3SScript");
    Register<Boulder2D3SScript>(system, "Boulder2D3SScript");
    Register<Boulder5D5SScript>(system, "Boulder5D5SScript");
    Register<BoulderLevelScript>(system, "BoulderLevelScript");
    Register<BoulderScript>(system, "BoulderScript");
    Register<Spikes1D4SScript>(system, "Spikes1D4SScript");
    Register<SpikesLevelScript>(system, "SpikesLevelScript");
    Register<SpikesScript>(system, "SpikesScript");
    Register<LevelManagerScript>(system, "LevelManagerScript");
    Register<BossScript>(system, "BossScript");
    Register<SpeedEnemyScript>(system, "SpeedEnemyScript");
    Register<PoisonFloorScript>(system, "PoisonFloorScript");
}

} // namespace OrvEngine
