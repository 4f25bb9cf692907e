#include "Scripts/ScriptHelpers.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Logging/Logging.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace OrvEngine {

namespace {
constexpr float kDigitSpacing = 0.1f;
int32_t bob_counter = 0;

} // namespace

Entity* InstantiatePrefab(const std::string& prefab_name)
{
    auto scene = CurrentScene();
    if (!scene) {
        LogLine("[InstantiatePrefab] No current scene for " + prefab_name);
        return nullptr;
    }
    EntityFactory* factory = EntityFactory::GetInstance();
    Entity* entity = factory->CreateFromArchetype(prefab_name);
    if (!entity) return nullptr;
    scene->AddEntity(entity->id, entity);
    const bool alive = factory->AddEntityToSystems(entity);
    factory->GetEntities().clear();
    // A prefab whose script removes its own entity in Init is gone already.
    if (!alive) return nullptr;
    factory->AddEntityName(entity);
    return entity;
}

void DestroyEntity(Entity* entity)
{
    if (!entity) return;
    EntityFactory::GetInstance()->RemoveEntityName(entity);
    if (auto scene = CurrentScene()) scene->RemoveEntity(entity->id);
}

void SpawnDamageNumber(int value, Entity* target)
{
    if (value <= 0 || !target) return;
    auto target_transform = target->GetComponent<Transform>(TRANSFORM);
    if (!target_transform) return;
    // Copied first: making the digits must not depend on the target staying put.
    const Vec3 origin = target_transform->position;
    const std::string digits = std::to_string(value);
    for (size_t i = 0; i < digits.size(); ++i) {
        Entity* digit = InstantiatePrefab("NumberPrefab");
        if (!digit) return;
        if (auto sprite = digit->GetComponent<Sprite>(SPRITE)) sprite->SetTexture(std::string("UI_Num_") + digits[i]);
        if (auto transform = digit->GetComponent<Transform>(TRANSFORM)) {
            // The prefab's own position is the offset from the target (above it, in front of it).
            transform->position = Vec3(origin.x + transform->position.x + kDigitSpacing * static_cast<float>(i),
                                       origin.y + transform->position.y, origin.z + transform->position.z);
        }
    }
}

float BobFactor(float frequency, float amplitude)
{
    bob_counter += 15;
    if (bob_counter >= 360) bob_counter = 0;
    return std::fabs(std::sin(static_cast<float>(bob_counter) * frequency)) * amplitude;
}

} // namespace OrvEngine
