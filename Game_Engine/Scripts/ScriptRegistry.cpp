// The registry of game script classes, by class name, in one fixed order.
#include "Scripts/ScriptSystem.h"

#include "Scripts/Boss/BossScript.h"
#include "Scripts/Companion/AIScript.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Scripts/Dialogue/DialogueLineScripts.h"
#include "Scripts/Dialogue/DialogueScript.h"
#include "Scripts/Dialogue/GameManagerScript.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Fade/FadeScripts.h"
#include "Scripts/HUD/ArrowKeysUIScript.h"
#include "Scripts/HUD/IloHealthUIScript.h"
#include "Scripts/HUD/PuriIconAppear.h"
#include "Scripts/Hazards/BarrierScript.h"
#include "Scripts/Hazards/BoulderScript.h"
#include "Scripts/Hazards/DeathWallScript.h"
#include "Scripts/Hazards/HazardZoneScript.h"
#include "Scripts/Hazards/PoisonFloorScript.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Level/SpawnerScript.h"
#include "Scripts/Level/WinOnCollisionScript.h"
#include "Scripts/Menus/BypassIntroScript.h"
#include "Scripts/Menus/MainMenuWalking.h"
#include "Scripts/Menus/OptionMenuScript.h"
#include "Scripts/Menus/PauseMenuScript.h"
#include "Scripts/Menus/QuitGameMenuScript.h"
#include "Scripts/Menus/RetryScript.h"
#include "Scripts/Menus/TestMainMenuScript.h"
#include "Scripts/NumberVelocity.h"
#include "Scripts/Player/PlayerScript.h"
#include "Scripts/Player/SpellsScript.h"
#include "Scripts/Tutorial/DialogueTriggerScripts.h"
#include "Scripts/Tutorial/TutorialSequenceScripts.h"
#include "Scripts/Tutorial/TutorialT4Script.h"

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
    Register<NumberVelocity>(system, "NumberVelocity");
    Register<DialogueScript>(system, "DialogueScript");
    Register<MainMenuWalking>(system, "MainMenuWalking");
    Register<DialogueScript01>(system, "DialogueScript01");
    Register<DialogueScript01_N>(system, "DialogueScript01_N");
    Register<DialogueScript02>(system, "DialogueScript02");
    Register<DialogueScript02_N>(system, "DialogueScript02_N");
    Register<DialogueScript03>(system, "DialogueScript03");
    Register<DialogueScript03_N>(system, "DialogueScript03_N");
    Register<DialogueScript04>(system, "DialogueScript04");
    Register<DialogueScript04_N>(system, "DialogueScript04_N");
    Register<EnemyScript>(system, "EnemyScript");
    Register<DefenseEnemyScript>(system, "DefenseEnemyScript");
    Register<PlayerScript>(system, "PlayerScript");
    Register<SpellsScript>(system, "SpellsScript");
    Register<TestMainMenuScript>(system, "TestMainMenuScript");
    Register<PauseMenuScript>(system, "PauseMenuScript");
    Register<SpawnerScript>(system, "SpawnerScript");
    Register<WinOnCollisionScript>(system, "WinOnCollisionScript");
    Register<DeathWallScript>(system, "DeathWallScript");
    Register<DialogueT1Script>(system, "DialogueT1Script");
    Register<DialogueT2Script>(system, "DialogueT2Script");
    Register<DialogueT3Script>(system, "DialogueT3Script");
    Register<GameManagerScript>(system, "GameManagerScript");
    Register<DialogueBoxScript>(system, "DialogueBoxScript");
    Register<BarrierScript>(system, "BarrierScript");
    Register<Boulder1D3SScript>(system, "Boulder1D3SScript");
    Register<Boulder2D3SScript>(system, "Boulder2D3SScript");
    Register<Boulder5D5SScript>(system, "Boulder5D5SScript");
    Register<BoulderLevelScript>(system, "BoulderLevelScript");
    Register<BoulderScript>(system, "BoulderScript");
    Register<Spikes1D4SScript>(system, "Spikes1D4SScript");
    Register<SpikesLevelScript>(system, "SpikesLevelScript");
    Register<SpikesScript>(system, "SpikesScript");
    Register<OptionMenuScript>(system, "OptionMenuScript");
    Register<FadeInScript>(system, "FadeInScript");
    Register<FadeOutScript>(system, "FadeOutScript");
    Register<TutorialScript01>(system, "TutorialScript01");
    Register<TutorialScript01_N>(system, "TutorialScript01_N");
    Register<TutorialT1Script>(system, "TutorialT1Script");
    Register<TutorialScript02>(system, "TutorialScript02");
    Register<TutorialScript02_N>(system, "TutorialScript02_N");
    Register<TutorialT2Script>(system, "TutorialT2Script");
    Register<TutorialScript03>(system, "TutorialScript03");
    Register<TutorialScript03_N>(system, "TutorialScript03_N");
    Register<TutorialT3Script>(system, "TutorialT3Script");
    Register<TutorialT4Script>(system, "TutorialT4Script");
    Register<IloHealthUIScript>(system, "IloHealthUIScript");
    Register<VavuHealthUIScript>(system, "VavuHealthUIScript");
    Register<LevelManagerScript>(system, "LevelManagerScript");
    Register<BossScript>(system, "BossScript");
    Register<ArrowKeysUIScript>(system, "ArrowKeysUIScript");
    Register<QuitGameMenuScript>(system, "QuitGameMenuScript");
    Register<SpeedEnemyScript>(system, "SpeedEnemyScript");
    Register<RetryScript>(system, "RetryScript");
    Register<PuriIconAppear>(system, "PuriIconAppear");
    Register<PoisonFloorScript>(system, "PoisonFloorScript");
    Register<BypassIntroScript>(system, "BypassIntroScript");
}

} // namespace OrvEngine
