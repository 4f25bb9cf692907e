#include "Scripts/Hazards/BoulderScript.h"

#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "CoreEngine/CoreEngine.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Scripts/Hazards/HazardDamage.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr float kRingTime = 2.0f;
constexpr int32_t kFrames = 16;
constexpr int32_t kWindowFirst = 8;
constexpr int32_t kWindowLast = 11;
constexpr int32_t kDamage = 2;
} // namespace

void BoulderScript::Init(Entity* entity)
{
    ring_timer = 0.0f;
    sprite = ComponentOf<Sprite>(entity, SPRITE);
    player_hit = companion_hit = false;
    sound_played = false;
}

void BoulderScript::Update(Entity* entity)
{
    if (!entity || IsPaused()) return;
    ring_timer += FrameTime();
    // Past the ring time (or 2 s into an animation that has not ended) the animation starts over.
    if (ring_timer >= kRingTime) StartAnimation(entity);
    if (sprite && sprite->current_frame >= kFrames) DestroyEntity(entity);
}

void BoulderScript::StartAnimation(Entity* entity)
{
    auto own = entity->GetComponent<Sprite>(SPRITE);
    if (!own) return;
    sprite = own;
    const Kind kind = GetKind();
    sprite->SetTexture(kind.animation);
    sprite->SetIsSpritesheet(true);
    sprite->number_of_frames = kFrames;
    sprite->start_frame = 1;
    sprite->spritesheet_speed = kind.frame_time;
    sprite->play_once = true;
    sprite->current_frame = 1;
    ring_timer = 0.0f;
}

void BoulderScript::OnCollision(Entity* self, Entity* other)
{
    if (!self || !other) return;
    auto own_sprite = self->GetComponent<Sprite>(SPRITE);
    if (!self->GetComponent<BoxCollider>(BOXCOLLIDER) || !own_sprite) return;
    const int32_t frame = own_sprite->current_frame;
    if (frame < kWindowFirst || frame > kWindowLast) {
        player_hit = companion_hit = false;
        sound_played = false;
        return;
    }
    const Kind kind = GetKind();
    if (kind.sound && !sound_played) {
        sound_played = true;
        Gameplay::PlayEvent(self, kind.sound);
    }
    Hurt(other);
}

void BoulderScript::Hurt(Entity* other)
{
    auto other_stats = other->GetComponent<Stats>(STATS);
    if (!other_stats) return;
    switch (Gameplay::TagOf(other)) {
    case TAG_PLAYER: {
        auto controller = other->GetComponent<PlayerController>(PLAYERCONTROLLER);
        if (player_hit || !controller) return;
        victim = other->id;
        PrintLine("Player got hit");
        other_stats->hp = LoseHitPoints(other_stats->hp, kDamage);
        controller->SetHit(true);
        player_hit = true;
        break;
    }
    case TAG_AI: {
        auto companion = other->GetComponent<AIMovement>(AIMOVEMENT);
        if (companion_hit || !companion) return;
        victim = other->id;
        PrintLine("Dora took dmg");
        other_stats->hp = LoseHitPoints(other_stats->hp, kDamage);
        companion->hit_time = TotalTime();
        companion->was_hit = true;
        companion_hit = true;
        break;
    }
    case TAG_ENEMY: {
        auto enemy = other->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
        if (!enemy || enemy->was_hit) return;
        victim = other->id;
        PrintLine("Enemy took dmg");
        other_stats->hp = LoseHitPoints(other_stats->hp, kDamage);
        enemy->hit_time = TotalTime();
        enemy->was_hit = true;
        break;
    }
    default: break;
    }
}
