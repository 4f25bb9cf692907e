#include "Scripts/Level/WinOnCollisionScript.h"

#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

using namespace OrvEngine;

void WinOnCollisionScript::OnCollision(Entity* self, Entity* other)
{
    (void)self;
    if (!other || other->name != EntityNames::kPlayer) return;
    auto scene = CurrentScene();
    SceneStateMachine* machine = SceneStateMachine::GetInstance();
    if (!scene || !machine) return;
    const std::string current = scene->GetSceneName();
    if (current == "GameScene_23") {
        machine->ChangeState("GameScene_20");
    } else if (current == "GameScene_01") {
        machine->ChangeState("GameScene_02");
    }
}
