// The registry of game script classes, by class name, in one fixed order.
#include "Scripts/ScriptSystem.h"

#include "Scripts/Fade/FadeScripts.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Menus/BypassIntroScript.h"
#include "Scripts/Menus/MainMenuWalking.h"
#include "Scripts/Menus/OptionMenuScript.h"
#include "Scripts/Menus/PauseMenuScript.h"
#include "Scripts/Menus/QuitGameMenuScript.h"
#include "Scripts/Menus/RetryScript.h"
#include "Scripts/Menus/TestMainMenuScript.h"
#include "Scripts/NumberVelocity.h"

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
    Register<NumberVelocity>(system, "NumberVelocity");
    Register<MainMenuWalking>(system, "MainMenuWalking");
    Register<TestMainMenuScript>(system, "TestMainMenuScript");
    Register<PauseMenuScript>(system, "PauseMenuScript");
    Register<OptionMenuScript>(system, "OptionMenuScript");
    Register<FadeInScript>(system, "FadeInScript");
    Register<FadeOutScript>(system, "FadeOutScript");
    Register<LevelManagerScript>(system, "LevelManagerScript");
    Register<QuitGameMenuScript>(system, "QuitGameMenuScript");
    Register<RetryScript>(system, "RetryScript");
    Register<BypassIntroScript>(system, "BypassIntroScript");
}

} // namespace OrvEngine
