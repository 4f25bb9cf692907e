#include "Scripts/Player/PlayerScript.h"

#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

#include <algorithm>

using namespace OrvEngine;

namespace {
// One above the character's own depth, so the effect shows in front of it.
constexpr float kHealEffectLift = 1.0f;
// Seconds Ilo cannot be hurt again after a hit.
constexpr float kHurtLockTime = 2.0f;
// How near an enemy must come to Ilo, across and up or down, to go for him while his
// purification cools down.
const Vec2 kReach(0.4f, 0.6f);

// A healing effect under `character`, following its Parent, hidden until a heal shows it.
uint64_t MakeHealingEffect(Entity* character)
{
    auto character_transform = ComponentOf<Transform>(character, TRANSFORM);
    Entity* effect = InstantiatePrefab("Healing_VFX");
    if (!effect) return 0;
    auto child = ComponentOf<Child>(effect, CHILD);
    auto character_parent = ComponentOf<Parent>(character, PARENT);
    if (child && character_parent) child->SetParent(character_parent);
    auto effect_transform = ComponentOf<Transform>(effect, TRANSFORM);
    if (effect_transform && character_transform) {
        effect_transform->position = character_transform->position - Vec3(0.0f, PlayerScript::kHealEffectDrop, 0.0f);
    }
    effect->SetActive(false);
    return effect->id;
}

// Shows the effect over `character` from its first frame.
void PlayHealingEffect(uint64_t effect_id, Entity* character)
{
    Entity* effect = Gameplay::LiveEntity(effect_id);
    if (!effect) return;
    effect->SetActive(true);
    auto effect_transform = ComponentOf<Transform>(effect, TRANSFORM);
    auto character_transform = ComponentOf<Transform>(character, TRANSFORM);
    if (effect_transform && character_transform) {
        effect_transform->position.z = kDepthBase - character_transform->position.y + kHealEffectLift;
    }
    if (auto effect_sprite = ComponentOf<Sprite>(effect, SPRITE)) effect_sprite->current_frame = 1;
}

// A healing effect that has played its last frame goes back into hiding.
void HideFinishedEffect(uint64_t effect_id)
{
    Entity* effect = Gameplay::LiveEntity(effect_id);
    auto effect_sprite = ComponentOf<Sprite>(effect, SPRITE);
    if (effect && effect->active && effect_sprite && effect_sprite->play_once &&
        effect_sprite->current_frame >= effect_sprite->number_of_frames) {
        effect->SetActive(false);
    }
}
} // namespace

void PlayerScript::Init(Entity* entity)
{
    transform = ComponentOf<Transform>(entity, TRANSFORM);
    sprite = ComponentOf<Sprite>(entity, SPRITE);
    controller = ComponentOf<PlayerController>(entity, PLAYERCONTROLLER);
    stats = ComponentOf<Stats>(entity, STATS);
    parent = ComponentOf<Parent>(entity, PARENT);
    FindCompanion();
    if (transform) base_scale = transform->scale;
    if (controller) {
        controller->Init();
        controller->hurt_lock_time = kHurtLockTime;
        controller->reach = kReach;
    }
    if (stats) max_hp = stats->hp;
}

void PlayerScript::FindCompanion() { companion = Gameplay::IdOf(FirstEntityOfType(TAG_AI)); }

void PlayerScript::Update(Entity* entity)
{
    if (!Gameplay::LiveEntity(companion)) FindCompanion();
    if (DialogueIsRunning) {
        if (auto body = ComponentOf<RigidBody2D>(entity, RIGIDBODY2D)) body->SetVelocity(Vec2());
        if (controller && transform) ApplyFacing();
        return;
    }
    if (!controller) return;
    ApplyPendingDamage();
    MakeHealingEffects(entity);
    controller->Update();
    controller->CastSpell();
    if (transform) {
        ApplyFacing();
        transform->position.z = kDepthBase - transform->position.y;
    }
    controller->UpdateAnimation();
    UpdateCameraShake();
    if (stats && stats->hp < 1) {
        RequestLoseScene(controller->owner, "SFX_I_Death", !death_announced);
        death_announced = true;
    }
    UpdateHurtFlash();
    HideFinishedEffect(heal_effect);
    HideFinishedEffect(companion_heal_effect);
}

void PlayerScript::ApplyPendingDamage()
{
    Entity* attacker = controller->GetAttacker();
    if (!attacker || !controller->hit) return;
    auto attacker_stats = ComponentOf<Stats>(attacker, STATS);
    auto enemy = ComponentOf<EnemyMovement>(attacker, ENEMYMOVEMENT);
    if (!stats || !attacker_stats) return;
    // 1 while the attacker is unhurt, else 0; an attacker without a starting hp adds nothing.
    const int64_t factor = enemy ? Gameplay::HpQuotient(int64_t{attacker_stats->hp}, enemy->max_hp) : 0;
    const float attack = static_cast<float>(factor) * attacker_stats->att_modifier + attacker_stats->attack;
    const int32_t damage = Gameplay::Damage(attack, stats->defense);
    if (controller->hit_pending && controller->stats) {
        if (!controller->hurt_lock && !controller->god_mode) {
            controller->stats->hp = Gameplay::LoseHp(controller->stats->hp, damage);
            SpawnDamageNumber(damage, controller->owner);
        }
        controller->hit_pending = false;
    }
    controller->attacker = 0;
}

void PlayerScript::MakeHealingEffects(Entity* entity)
{
    Entity* partner = Gameplay::LiveEntity(companion);
    if (!Gameplay::LiveEntity(heal_effect)) heal_effect = MakeHealingEffect(entity);
    if (partner && !Gameplay::LiveEntity(companion_heal_effect)) companion_heal_effect = MakeHealingEffect(partner);
}

void PlayerScript::ApplyFacing()
{
    Vec3 scale = base_scale;
    if (controller->facing == 0) scale.x = -scale.x;
    transform->SetScale(scale);
}

void PlayerScript::UpdateCameraShake()
{
    if (!ActiveCamera) return;
    if (controller->state == PS_Hurt) Camera::Shake();
    else ActiveCamera->shaking = false;
}

void PlayerScript::UpdateHurtFlash()
{
    if (!sprite) return;
    if (controller->hurt_lock) {
        sprite->SetTint(HurtFlash(), true);
    } else if (sprite->is_tinted) {
        sprite->is_tinted = false;
    }
}

void PlayerScript::OnCollision(Entity* self, Entity* other)
{
    auto info = ComponentOf<Information>(other, INFORMATION);
    if (!info) return;
    if (info->GetType() == TAG_TERRAIN_DAMAGE && controller) TakeTerrainDamage(self);
    else if (info->GetType() == TAG_ENEMY) HealFrom(self, other);
}

void PlayerScript::TakeTerrainDamage(Entity* self)
{
    if (controller->god_mode || controller->hurt_lock || !stats) return;
    controller->hit_pending = true;
    controller->hit = true;
    controller->hurt_time = TotalTime();
    // No lower bound: the death check of the next update catches any hp below 1.
    stats->hp -= kTerrainDamage;
    SpawnDamageNumber(kTerrainDamage, self);
}

void PlayerScript::HealFrom(Entity* self, Entity* enemy_entity)
{
    auto enemy = ComponentOf<EnemyMovement>(enemy_entity, ENEMYMOVEMENT);
    auto enemy_sprite = ComponentOf<Sprite>(enemy_entity, SPRITE);
    if (!enemy || enemy->state != ENEMY_PURIFIED || !enemy_sprite) return;
    if (enemy_sprite->current_frame < enemy_sprite->number_of_frames) return;
    // The controller writes the heal into the purified enemy's purification_delay.
    const int32_t heal = enemy->purification_delay;
    if (stats) stats->hp += heal;
    PlayHealingEffect(heal_effect, self);
    if (Entity* partner = Gameplay::LiveEntity(companion)) {
        PlayHealingEffect(companion_heal_effect, partner);
        if (auto partner_stats = ComponentOf<Stats>(partner, STATS)) {
            partner_stats->hp += heal;
            if (auto movement = ComponentOf<AIMovement>(partner, AIMOVEMENT)) {
                partner_stats->hp = static_cast<int32_t>(std::min<int64_t>(partner_stats->hp, static_cast<int64_t>(movement->max_hp)));
            }
        }
    }
    if (stats) stats->hp = std::min(stats->hp, max_hp);
    Gameplay::PlayEvent(self, "SFX_Heal");
}
