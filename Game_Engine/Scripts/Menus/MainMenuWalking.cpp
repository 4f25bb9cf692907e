#include "Scripts/Menus/MainMenuWalking.h"

#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"

using namespace OrvEngine;

namespace {
constexpr float kStep = 0.002f;
constexpr float kWalkTime = 10.0f;
} // namespace

void MainMenuWalking::Init(Entity* entity)
{
    transform = entity->GetComponent<Transform>(TRANSFORM);
    auto information = entity->GetComponent<Information>(INFORMATION);
    // Without a name or a Transform there is no direction, and the walker stands still.
    direction = information && !information->name.empty() && transform ? information->name.substr(0, 1) : "";
    step = kStep;
    timer = kWalkTime;
    walk_time = kWalkTime;
    if (direction == "L" && transform && transform->scale.x > 0.0f) transform->scale.x = -transform->scale.x;
}

void MainMenuWalking::Update(Entity*)
{
    if (!transform) return;
    if (direction == "R") Walk(1.0f, "L");
    else if (direction == "L") Walk(-1.0f, "R");
}

void MainMenuWalking::Walk(float sign, const char* turn_to)
{
    timer -= FrameTime();
    if (timer > 0.0f) {
        transform->position.x += sign * step;
    } else if (timer < 0.0f) {
        // A timer of exactly 0 turns on the next frame.
        transform->scale.x = -transform->scale.x;
        direction = turn_to;
        timer = walk_time;
    }
}
