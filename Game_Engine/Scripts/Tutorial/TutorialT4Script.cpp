#include "Scripts/Tutorial/TutorialT4Script.h"

#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/SceneStateMachine.h"
#include "Scene/SplashScreenScene.h"
#include "Scripts/ScriptHelpers.h"

#include <memory>

using namespace OrvEngine;

void TutorialT4Script::OnCollision(Entity* self, Entity* other)
{
    (void)self;
    auto info = ComponentOf<Information>(other, INFORMATION);
    SceneStateMachine* machine = SceneStateMachine::GetInstance();
    if (!info || info->GetType() != TAG_PLAYER || !machine) return;
    auto splash = std::dynamic_pointer_cast<SplashScreenScene>(machine->ChangeState("SplashScene_07"));
    if (splash) splash->next_state = "GameScene_01";
}
