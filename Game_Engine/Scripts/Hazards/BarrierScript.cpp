#include "Scripts/Hazards/BarrierScript.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Logic/GameplayRules.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
// How close the trigger test must come to the edge (the left side of the barrier less the edge).
constexpr float kTriggerMargin = 0.01f;
} // namespace

void BarrierScript::Init(Entity* entity)
{
    if (!entity) return;
    transform = entity->GetComponent<Transform>(TRANSFORM);
    sprite = entity->GetComponent<Sprite>(SPRITE);
    if (sprite) sprite->SetTint(Color(1.0f, 1.0f, 1.0f, alpha), true);
}

void BarrierScript::Update(Entity* entity)
{
    if (!entity) return;
    level_manager.Find();
    if (!FindLiveEntity(player) || view_width == 0.0f) {
        FindViewAndPlayer();
        return;
    }
    if (!triggered) CheckTrigger(entity);
    if (triggered) {
        if (alpha < 1.0f) alpha += alpha_step;
        if (sprite) sprite->SetTint(Color(1.0f, 1.0f, 1.0f, alpha), true);
    }
    // The script keeps running while its entity is inactive, so the barrier can come back.
    if (LevelManagerScript* manager = level_manager.Get()) {
        if (manager->enemy_count == 0) {
            entity->SetActive(false);
        } else if (!entity->active) {
            entity->SetActive(true);
        }
    }
}

void BarrierScript::FindViewAndPlayer()
{
    if (auto camera = ComponentOf<Transform>(FindEntityByName(EntityNames::kCamera), TRANSFORM)) {
        view_width = camera->scale.x;
    }
    Entity* found = FindEntityByName(EntityNames::kPlayer);
    if (ComponentOf<Transform>(found, TRANSFORM)) player = found->id;
}

void BarrierScript::CheckTrigger(Entity* entity)
{
    auto player_transform = ComponentOf<Transform>(player, TRANSFORM);
    if (!transform || !player_transform) return;
    const float edge = player_transform->position.x + 0.5f * view_width - lead_distance;
    if ((transform->position.x - transform->scale.x) - edge >= kTriggerMargin) return;
    triggered = true;
    Gameplay::PlayEvent(entity, "SFX_EO_Barrier");
}
