#include "Scripts/NumberVelocity.h"

#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "Factory/Entity.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr float kRisePerFrame = 0.002f;
constexpr float kLifetime = 2.0f;
} // namespace

void NumberVelocity::Init(Entity*)
{
    velocity = kRisePerFrame;
    lifetime = kLifetime;
}

void NumberVelocity::Update(Entity* entity)
{
    lifetime -= FrameTime();
    if (lifetime > 0.0f) {
        transform = entity->GetComponent<Transform>(TRANSFORM);
        if (transform) transform->position.y += velocity;
    } else if (lifetime < 0.0f) {
        // A lifetime of exactly 0 is neither: the digit goes on the next frame.
        DestroyEntity(entity);
    }
}
