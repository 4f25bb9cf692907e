#include "Logic/EnemyMovement.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Logic/AIMovement.h"
#include "Logic/DamageNumbers.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Physics/CollisionSystem.h"
#include "Scene/IScene.h"

#include <algorithm>
#include <limits>

namespace OrvEngine {

using namespace Gameplay;

namespace {
constexpr float kHitRecovery = 1.0f;
constexpr float kHitWindow = 0.9f;
constexpr float kTurnDelay = 1.0f;
constexpr float kPurifiedSpeed = 5.0f;
constexpr float kPurifiableShare = 0.3f;
constexpr int kHurtSounds = 5;
constexpr float kAttackSpeedUp = 0.05f; // seconds off each attack frame

bool HasCollider(const Entity* entity) { return entity && entity->GetComponent<BoxCollider>(BOXCOLLIDER); }

// The knock-back level: debuff_multiplier truncated to a whole number, 0 for negatives and NaN.
uint32_t KnockBackLevel(float multiplier)
{
    if (!(multiplier >= 1.0f)) return 0;
    if (multiplier >= 4294967295.0f) return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(multiplier);
}

float KnockBackPush(uint32_t level)
{
    if (level == 2) return 2.25f;
    if (level == 3) return 3.0f;
    return 0.0f;
}
} // namespace

bool EnemyMovement::Serialize(JsonWriter& writer)
{
    Serializer::WriteFloat(writer, "range", range);
    Serializer::WriteFloat(writer, "cooldown", cooldown);
    Serializer::WriteString(writer, "idle_texture", idle_texture);
    Serializer::WriteString(writer, "walking_texture", walking_texture);
    Serializer::WriteString(writer, "attack_texture", attack_texture);
    Serializer::WriteString(writer, "down_texture", down_texture);
    Serializer::WriteString(writer, "puri_texture", puri_texture);
    Serializer::WriteString(writer, "appear_texture", appear_texture);
    Serializer::WriteBool(writer, "is_purifiable", is_purifiable);
    Serializer::WriteFloat(writer, "debuff_timer", debuff_timer);
    Serializer::WriteFloat(writer, "debuff_multiplier", debuff_multiplier);
    return true;
}

void EnemyMovement::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    range = Serializer::ReadFloat(*object, "range");
    cooldown = Serializer::ReadFloat(*object, "cooldown");
    idle_texture = Serializer::ReadString(*object, "idle_texture");
    walking_texture = Serializer::ReadString(*object, "walking_texture");
    attack_texture = Serializer::ReadString(*object, "attack_texture");
    down_texture = Serializer::ReadString(*object, "down_texture");
    puri_texture = Serializer::ReadString(*object, "puri_texture");
    appear_texture = Serializer::ReadString(*object, "appear_texture");
    is_purifiable = Serializer::ReadBool(*object, "is_purifiable");
    debuff_timer = Serializer::ReadFloat(*object, "debuff_timer");
    debuff_multiplier = Serializer::ReadFloat(*object, "debuff_multiplier");
}

// ---- Targets ---------------------------------------------------------------------------------

// only_missing: fill only the targets that do not resolve, each from the first entity of its tag
// (the scene's index). Otherwise (Init, Clone) a walk in id order in which a later entity of the same
// tag replaces an earlier one until both are set.
void EnemyMovement::FindTargets(bool only_missing)
{
    auto scene = CurrentScene();
    if (!scene) return;
    if (only_missing) {
        if (!GetCompanionTarget()) companion_target = IdOf(scene->FirstEntityOfType(TAG_AI));
        if (!GetPlayerTarget()) player_target = IdOf(scene->FirstEntityOfType(TAG_PLAYER));
        return;
    }
    uint64_t companion = 0;
    uint64_t player = 0;
    for (Entity* entity : scene->EntitiesOfTypes({TAG_AI, TAG_PLAYER})) {
        const uint32_t tag = TagOf(entity);
        if (tag == TAG_AI) companion = entity->id;
        if (tag == TAG_PLAYER) player = entity->id;
        if (companion != 0 && player != 0) break;
    }
    companion_target = companion;
    player_target = player;
}

Entity* EnemyMovement::GetTarget() const { return LiveEntity(target); }
Entity* EnemyMovement::GetPlayerTarget() const { return LiveEntity(player_target); }
Entity* EnemyMovement::GetCompanionTarget() const { return LiveEntity(companion_target); }

void EnemyMovement::Init()
{
    FindTargets(false);
    CacheStats(owner, stats, max_hp);
}

std::shared_ptr<Component> EnemyMovement::Clone()
{
    auto copy = std::make_shared<EnemyMovement>(*this);
    copy->target = 0;
    copy->player_target = 0;
    copy->companion_target = 0;
    // The copy's own entity's components are taken when it joins an entity and the systems.
    copy->stats.reset();
    copy->rigid_body.reset();
    copy->transform.reset();
    copy->FindTargets(false);
    return copy;
}

void EnemyMovement::Disconnect()
{
    rigid_body.reset();
    transform.reset();
    ForgetTarget();
}

void EnemyMovement::ForgetTarget()
{
    target = 0;
    target_position = Vec2();
    target_distance = kNoTargetDistance;
    engaged = false;
}

void EnemyMovement::ClearTargetIf(Entity* entity)
{
    if (entity && entity->id != 0 && entity->id == target) ForgetTarget();
}

void EnemyMovement::DropTarget()
{
    ForgetTarget();
    state = ENEMY_IDLE;
}

void EnemyMovement::ChooseTarget()
{
    Entity* player = GetPlayerTarget();
    if (!player || !player->GetComponent<PlayerController>(PLAYERCONTROLLER)) return;
    if (CheckPlayerTarget()) {
        target = player->id;
        return;
    }
    Entity* companion = GetCompanionTarget();
    if (!companion) return;
    auto companion_stats = companion->GetComponent<Stats>(STATS);
    target = companion_stats && companion_stats->hp != 0 ? companion->id : player->id;
}

bool EnemyMovement::CheckPlayerTarget()
{
    Entity* player = GetPlayerTarget();
    auto controller = player ? player->GetComponent<PlayerController>(PLAYERCONTROLLER) : nullptr;
    auto own_transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!controller || !own_transform) return false;
    Vec2 position = own_transform->GetPosition2D();
    return controller->IsInRange(position) && controller->purification.cooldown;
}

void EnemyMovement::SetAttackFrame(const uint64_t& frame) { attack_frame = ClampAttackFrame(owner, frame); }

// ---- Per frame -------------------------------------------------------------------------------

void EnemyMovement::Update()
{
    if (!stats) CacheStats(owner, stats, max_hp);
    FindTargets(true);
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (base_anim_speed == 0.0f && sprite) base_anim_speed = sprite->spritesheet_speed;

    if (IsPurifying && purifiable_now) {
        if (state != ENEMY_DOWN && state != ENEMY_PURIFIED) state = ENEMY_IDLE;
        Stop();
        return;
    }

    const float now = TotalTime();
    SharedValues& shared = Shared();
    if (!shared.debuff_reset_time_set) {
        shared.debuff_reset_time = now;
        shared.debuff_reset_time_set = true;
    }
    if (now > shared.debuff_reset_time + debuff_timer) {
        shared.debuff_reset_time = now;
        current_debuff = DEBUFF_NONE;
    }
    if (was_hit && sprite && now >= hit_time + kHitRecovery) {
        hit_time = now;
        was_hit = false;
    }
    const uint32_t level = KnockBackLevel(debuff_multiplier);
    in_hit_window = now >= hit_time && hit_time + kHitWindow > now;
    if (!is_purifiable && level >= 2 && !knocked_back && in_hit_window) ApplyKnockBack(level);

    MoveAndAttack();

    if (stats && stats->hp <= PurifiableThreshold()) purifiable_now = true;
    UpdateTexture();
}

int32_t EnemyMovement::PurifiableThreshold() const
{
    return static_cast<int32_t>(static_cast<float>(static_cast<int64_t>(max_hp)) * kPurifiableShare);
}

int32_t EnemyMovement::LowestHp() const { return is_purifiable ? std::max(PurifiableThreshold(), 0) : 0; }

void EnemyMovement::ApplyKnockBack(uint32_t level)
{
    const CollisionSide side = CollisionSystem::GetInstance()->GetCollisionSide(owner);
    if (side != SIDE_RIGHT && side != SIDE_LEFT) return;
    const float push = KnockBackPush(level);
    auto body = owner ? owner->GetComponent<RigidBody2D>(RIGIDBODY2D) : nullptr;
    if (body && !body->IsStatic()) body->velocity = body->velocity + Vec2(side == SIDE_LEFT ? push : -push, 0.0f);
    knocked_back = true;
    knockback_time = hit_time;
    state = ENEMY_IDLE;
    can_turn = false;
}

void EnemyMovement::Stop()
{
    if (rigid_body) rigid_body->SetVelocity(Vec2());
}

bool EnemyMovement::ContactWith(Entity* other) const { return ContactTest(owner, other); }

void EnemyMovement::MoveAndAttack()
{
    if (!rigid_body && owner) rigid_body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D);
    // A target destroyed since the last frame is forgotten, as if it had been cleared.
    if (target != 0 && !GetTarget()) ForgetTarget();
    bool closing = true;
    switch (state) {
    case ENEMY_IDLE: IdleStep(); break;
    case ENEMY_WALKING: WalkingStep(); break;
    case ENEMY_ATTACKING: AttackingStep(); break;
    case ENEMY_DEBUFFED:
    case ENEMY_APPEARING: {
        auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
        if (sprite && sprite->current_frame >= sprite->number_of_frames) state = ENEMY_IDLE;
        break;
    }
    case ENEMY_DOWN: Stop(); break;
    case ENEMY_PURIFIED: PurifiedStep(closing); break;
    default: break;
    }
    if (!closing) return;
    Entity* other = GetTarget();
    const bool met_dora = other && other->name == EntityNames::kDora;
    if (reached_target && met_dora && TotalTime() > knockback_time + kTurnDelay) can_turn = true;
}

void EnemyMovement::IdleStep()
{
    Entity* other = GetTarget();
    if (!GameIsRunning && other) {
        DropTarget();
        return;
    }
    if (!other) return;
    const bool cooled_down = TotalTime() - last_attack_time >= cooldown;
    if (engaged) {
        if (ContactWith(other) && !knocked_back) {
            state = cooled_down ? ENEMY_ATTACKING : ENEMY_IDLE;
        } else {
            engaged = false;
            state = ENEMY_IDLE;
        }
        return;
    }
    if (ContactWith(other)) {
        state = cooled_down ? ENEMY_ATTACKING : ENEMY_IDLE;
    } else if (!(stats && stats->speed_attack <= 0.0f)) {
        state = ENEMY_WALKING;
    }
}

void EnemyMovement::WalkingStep()
{
    Entity* other = GetTarget();
    if (!other) {
        Stop();
        state = ENEMY_IDLE;
        return;
    }
    if (!GameIsRunning || !other->active) {
        DropTarget();
        return;
    }
    RecordPositions(owner, other, own_position, target_position);
    if (HasCollider(other) && HasCollider(owner) && ContactWith(other) && rigid_body) {
        reached_target = true;
        Stop();
        if (TotalTime() - last_attack_time >= cooldown && !knocked_back) {
            engaged = true;
            state = ENEMY_ATTACKING;
        } else {
            state = ENEMY_IDLE;
        }
        return;
    }
    WalkTowardsTarget(other);
}

void EnemyMovement::WalkTowardsTarget(Entity* other)
{
    if (!stats || !rigid_body) return;
    if (!(stats->speed_attack > 0.0f)) {
        Stop();
        return;
    }
    const Vec2 direction = WalkDirection(owner, other, own_position, target_position);
    // The defence modifier (not the speed one) scales the walk, and only at full health.
    const float health = static_cast<float>(HpQuotient(stats->hp, max_hp));
    rigid_body->SetVelocity(direction * (stats->speed_attack + health * stats->def_modifier));
}

void EnemyMovement::AttackingStep()
{
    Entity* other = GetTarget();
    if (!other) {
        Stop();
        state = ENEMY_IDLE;
        return;
    }
    LogLine("Enemy reached target");
    if (!GameIsRunning || !other->active) {
        DropTarget();
        return;
    }
    if (!HasCollider(other) || !HasCollider(owner)) return;
    const bool in_reach = ContactWith(other) || target_position - own_position == Vec2();
    auto sprite = owner->GetComponent<Sprite>(SPRITE);
    const Swing swing = SwingStep(sprite.get(), in_reach, last_attack_time, cooldown, attack_frame);
    if (swing == Swing::Lands) LandHit(other);
    else if (swing == Swing::Ends) state = ENEMY_IDLE;
}

void EnemyMovement::PurifiedStep(bool& closing)
{
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (sprite && sprite->current_frame != sprite->number_of_frames) {
        Stop();
        closing = false;
        return;
    }
    if (GetPlayerTarget()) target = player_target;
    Entity* other = GetTarget();
    if (!other) return;
    RecordPositions(owner, other, own_position, target_position);
    if (stats && rigid_body) rigid_body->SetVelocity(WalkDirection(owner, other, own_position, target_position) * kPurifiedSpeed);
}

// ---- The hit ---------------------------------------------------------------------------------

void EnemyMovement::LandHit(Entity* other)
{
    engaged = true;
    last_hit_dealt_time = last_attack_time = TotalTime();
    auto companion = other->GetComponent<AIMovement>(AIMOVEMENT);
    if (companion && companion->state != COMPANION_DOWN) {
        HitCompanion(other);
    } else if (other->GetComponent<PlayerController>(PLAYERCONTROLLER)) {
        HitPlayer(other);
    }
}

void EnemyMovement::HitCompanion(Entity* other)
{
    auto companion = other->GetComponent<AIMovement>(AIMOVEMENT);
    companion->hit_time = TotalTime();
    auto other_stats = other->GetComponent<Stats>(STATS);
    if (!other_stats || !stats) return;
    const float defence = static_cast<float>(HpQuotient(other_stats->hp, companion->max_hp)) * other_stats->def_modifier +
                          other_stats->defense;
    const float attack = static_cast<float>(HpQuotient(stats->hp, max_hp)) * stats->att_modifier + stats->attack;
    const int32_t damage = Damage(attack, defence);
    const uint64_t other_id = other->id;
    SpawnDamageNumber(damage, other);
    // Spawning may run entity code; the companion is looked up again before it is changed.
    other = LiveEntity(other_id);
    if (!other) return;
    other_stats->hp = LoseHp(other_stats->hp, damage);
    companion->was_hit = true;
    PlayEvent(other, "SFX_D_Hurt" + std::to_string(RandomRange(1, kHurtSounds)));
    if (other_stats->hp <= 0) {
        engaged = false;
        ClearTargetIf(other);
        state = ENEMY_IDLE;
    }
}

void EnemyMovement::HitPlayer(Entity* other)
{
    auto controller = other->GetComponent<PlayerController>(PLAYERCONTROLLER);
    controller->hurt_time = TotalTime();
    auto other_stats = other->GetComponent<Stats>(STATS);
    if (!other_stats || !stats) return;
    if (!controller->hurt_lock && !controller->god_mode) {
        bool hit = true;
        controller->SetHit(hit);
        controller->attacker = owner ? owner->id : 0;
        PlayEvent(other, "SFX_I_Hurt" + std::to_string(RandomRange(1, kHurtSounds)));
    }
    if (other_stats->hp <= 0) {
        ClearTargetIf(other);
        state = ENEMY_IDLE;
    }
}

// ---- Animation -------------------------------------------------------------------------------

void EnemyMovement::UpdateTexture()
{
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite || state < ENEMY_IDLE || state > ENEMY_APPEARING) return;
    sprite->SetIsSpritesheet(true);
    switch (state) {
    case ENEMY_IDLE:
    case ENEMY_WALKING:
        ShowStateSheet(*sprite, state == ENEMY_IDLE ? idle_texture : walking_texture, base_anim_speed, false, 16);
        break;
    case ENEMY_ATTACKING: ShowStateSheet(*sprite, attack_texture, base_anim_speed - kAttackSpeedUp, false, 16); break;
    case ENEMY_DEBUFFED: {
        sprite->number_of_frames = 3;
        sprite->start_frame = 0;
        sprite->play_once = true;
        sprite->spritesheet_speed = 0.1f;
        static const char* const kDebuffTextures[] = {nullptr, "Anim_Melee_Enemy_Speed_D_Damage",
                                                      "Anim_Melee_Enemy_Attack_D_Damage",
                                                      "Anim_Melee_Enemy_Defence_D_Damage"};
        if (current_debuff >= DEBUFF_SPEED && current_debuff <= DEBUFF_DEFENCE) {
            ApplyStateTexture(*sprite, kDebuffTextures[current_debuff]);
        }
        break;
    }
    case ENEMY_DOWN: ShowStateSheet(*sprite, down_texture, base_anim_speed, false, 12); break;
    default: // Purified, Appearing
        sprite->is_tinted = false;
        ShowStateSheet(*sprite, state == ENEMY_PURIFIED ? puri_texture : appear_texture, base_anim_speed, true, 12);
        break;
    }
}

} // namespace OrvEngine
