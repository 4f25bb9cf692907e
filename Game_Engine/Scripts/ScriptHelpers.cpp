#include "Scripts/ScriptHelpers.h"

#include "Components/BoxCollider.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/SharedValues.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <cmath>
#include <cstdint>

namespace OrvEngine {

namespace {
constexpr float kHurtFlashFrequency = 0.01f;
constexpr float kSpawnedBoxDrop = 1.0f;
constexpr int32_t kBobStep = 15;
constexpr int32_t kBobWrap = 360;
} // namespace

void DestroyEntity(Entity* entity)
{
    if (!entity) return;
    EntityFactory::GetInstance()->RemoveEntityName(entity);
    if (auto scene = CurrentScene()) scene->RemoveEntity(entity->id);
}

float BobFactor(float frequency, float amplitude)
{
    int32_t& counter = Shared().number_bob_counter;
    counter += kBobStep;
    if (counter >= kBobWrap) counter = 0;
    return std::fabs(std::sin(static_cast<float>(counter) * frequency)) * amplitude;
}

bool IsPaused() { return OrvStateMachine && OrvStateMachine->paused; }

Vec4 HurtFlash() { return Vec4(BobFactor(kHurtFlashFrequency, 1.0f), 0.0f, 0.0f, 1.0f); }

void PlaceSpawned(Entity& spawned, const Vec3& at)
{
    auto transform = spawned.GetComponent<Transform>(TRANSFORM);
    if (!transform) return;
    transform->position = at;
    if (auto box = spawned.GetComponent<BoxCollider>(BOXCOLLIDER)) {
        box->SetPosition(Vec2(at.x, at.y - kSpawnedBoxDrop));
        box->UpdateBounds();
    }
}

} // namespace OrvEngine
