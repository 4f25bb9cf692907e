#include "Scripts/Fade/FadeScripts.h"

#include "Components/Sprite.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Graphics/ButtonSystem.h"
#include "Scene/SceneStateMachine.h"

#include <algorithm>

using namespace OrvEngine;

void FadeScript::Start(Entity* entity, float start_alpha)
{
    speed = kSpeed;
    alpha = start_alpha;
    sprite = entity->GetComponent<Sprite>(SPRITE);
    if (sprite) sprite->SetTint(Color(1.0f, 1.0f, 1.0f, alpha), true);
}

void FadeScript::Step(float direction)
{
    if (!sprite) return;
    alpha += direction * FrameTime() * speed;
    sprite->SetTint(Color(1.0f, 1.0f, 1.0f, std::clamp(alpha, 0.0f, 1.0f)), true);
}

void FadeInScript::Init(Entity* entity) { Start(entity, 1.0f); }

void FadeInScript::Update(Entity* entity)
{
    (void)entity;
    Step(-1.0f);
    // The scene's menu is not shown until the fade has cleared: nothing is chosen unseen.
    if (sprite && alpha > 0.0f) ButtonSystem::GetInstance()->HoldWhileFading();
}

void FadeOutScript::Init(Entity* entity) { Start(entity, 0.0f); }

void FadeOutScript::Update(Entity* entity)
{
    (void)entity;
    // Without a sprite there is no fade, and so no end of it either.
    if (!sprite) return;
    Step(1.0f);
    // Asked again every frame until the change happens at the end of the frame.
    if (alpha >= kLeaveAt && OrvStateMachine) OrvStateMachine->next_state = "GameScene_02";
}
