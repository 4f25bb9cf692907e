#include "Scripts/Hazards/DeathWallScript.h"

#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/Hazards/HazardDamage.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr float kSpeed = 0.1f;
constexpr float kPush = 0.25f;
constexpr int32_t kDamage = 1;
} // namespace

void DeathWallScript::Init(Entity* entity)
{
    speed = kSpeed;
    transform = ComponentOf<Transform>(entity, TRANSFORM);
}

void DeathWallScript::Update(Entity* entity)
{
    (void)entity;
    if (transform) transform->position.x += FrameTime() * speed;
}

void DeathWallScript::OnCollision(Entity* self, Entity* other)
{
    (void)self;
    if (!other) return;
    auto stats = other->GetComponent<Stats>(STATS);
    auto other_transform = other->GetComponent<Transform>(TRANSFORM);
    if (other->name == EntityNames::kPlayer) {
        auto controller = other->GetComponent<PlayerController>(PLAYERCONTROLLER);
        if (!controller || !stats || !other_transform || controller->GetGodMode() || controller->hurt_lock) return;
        controller->SetHit(true);
        controller->hurt_time = TotalTime();
        stats->hp = LoseHitPoints(stats->hp, kDamage);
        other_transform->position.x += kPush;
    } else if (other->name == EntityNames::kDora) {
        auto companion = other->GetComponent<AIMovement>(AIMOVEMENT);
        // The hit flag counts too: without a Sprite the companion never raises its hurt flag.
        if (!companion || !stats || !other_transform || companion->hurt_flash || companion->was_hit) return;
        companion->was_hit = true;
        companion->hit_time = TotalTime();
        stats->hp = LoseHitPoints(stats->hp, kDamage);
        other_transform->position.x += kPush;
    } else if (other->name.find("Enemy") != std::string::npos) {
        auto enemy = other->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
        // Only while hit points remain: one already below 0 is not driven further down.
        if (!enemy || !stats || stats->hp <= 0) return;
        enemy->was_hit = true;
        enemy->hit_time = TotalTime();
        stats->hp = LoseHitPoints(stats->hp, kDamage);
    }
}
