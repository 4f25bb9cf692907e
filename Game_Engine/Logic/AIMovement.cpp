#include "Logic/AIMovement.h"

#include "Components/BoxCollider.h"
#include "Components/Camera.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Logic/BossBehaviour.h"
#include "Logic/DamageNumbers.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Scene/IScene.h"

#include <algorithm>
#include <cmath>

namespace OrvEngine {

using namespace Gameplay;

namespace {
constexpr float kHitRecovery = 1.0f;
constexpr float kFootstepInterval = 0.5f;

bool HasCollider(const Entity* entity) { return entity && entity->GetComponent<BoxCollider>(BOXCOLLIDER); }

// An enemy that the player may purify now: the companion leaves those to the player.
bool IsPurifiableEnemy(const Entity* entity)
{
    if (!entity || TagOf(entity) != TAG_ENEMY) return false;
    auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    return enemy && enemy->purifiable_now;
}

// Without a current scene the kept player stays as it is.
void FindPlayer(uint64_t& player_target)
{
    if (auto scene = CurrentScene()) player_target = IdOf(scene->FirstEntityOfType(TAG_PLAYER));
}
} // namespace

bool AIMovement::Serialize(JsonWriter& writer)
{
    Serializer::WriteFloat(writer, "range", range);
    Serializer::WriteFloat(writer, "cooldown", cooldown);
    Serializer::WriteFloat(writer, "revive_time", revive_time);
    Serializer::WriteString(writer, "idle_texture", idle_texture);
    Serializer::WriteString(writer, "walking_texture", walking_texture);
    Serializer::WriteString(writer, "attack_texture", attack_texture);
    Serializer::WriteString(writer, "down_texture", down_texture);
    return true;
}

void AIMovement::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    range = Serializer::ReadFloat(*object, "range");
    cooldown = Serializer::ReadFloat(*object, "cooldown");
    revive_time = Serializer::ReadFloat(*object, "revive_time");
    idle_texture = Serializer::ReadString(*object, "idle_texture");
    walking_texture = Serializer::ReadString(*object, "walking_texture");
    attack_texture = Serializer::ReadString(*object, "attack_texture");
    down_texture = Serializer::ReadString(*object, "down_texture");
}

void AIMovement::Init()
{
    FindPlayer(player_target);
    CacheStats(owner, stats, max_hp);
    if (auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr) base_anim_speed = sprite->spritesheet_speed;
}

std::shared_ptr<Component> AIMovement::Clone()
{
    auto copy = std::make_shared<AIMovement>(*this);
    copy->target = 0;
    copy->player_target = 0;
    copy->target_position = Vec2();
    copy->best_distance = kNoTargetDistance;
    copy->engaged = false;
    // The copy's own entity's components are taken when it joins an entity and the systems.
    copy->stats.reset();
    copy->rigid_body.reset();
    copy->transform.reset();
    return copy;
}

void AIMovement::Disconnect()
{
    rigid_body.reset();
    transform.reset();
    ResetTarget();
}

Entity* AIMovement::GetTarget() const { return LiveEntity(target); }
Entity* AIMovement::GetPlayerTarget() const { return LiveEntity(player_target); }

void AIMovement::RemoveTarget(Entity* entity)
{
    if (entity && entity->id != 0 && entity->id == target) ResetTarget();
}

void AIMovement::ResetTarget()
{
    engaged = false;
    target = 0;
    target_position = Vec2();
    best_distance = kNoTargetDistance;
}

void AIMovement::SetAttackFrame(const uint64_t& frame) { attack_frame = ClampAttackFrame(owner, frame); }

void AIMovement::TeleportToPlayer()
{
    Entity* player = GetPlayerTarget();
    if (player) {
        auto player_transform = player->GetComponent<Transform>(TRANSFORM);
        auto own_transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
        if (player_transform && own_transform) own_transform->position = player_transform->position;
        engaged = false;
    }
    FindTarget();
}

// ---- Per frame -------------------------------------------------------------------------------

void AIMovement::Update()
{
    if (!stats) CacheStats(owner, stats, max_hp);
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (base_anim_speed == 0.0f && sprite) base_anim_speed = sprite->spritesheet_speed;
    if (player_target == 0 || !GetPlayerTarget()) FindPlayer(player_target);
    if (IsPurifying) {
        // The companion leaves the enemy or boss that is being purified.
        Entity* other = GetTarget();
        auto enemy = other ? other->GetComponent<EnemyMovement>(ENEMYMOVEMENT) : nullptr;
        auto boss = other ? other->GetComponent<BossBehaviour>(BOSSBEHAVIOUR) : nullptr;
        const uint32_t tag = TagOf(other);
        if ((tag == TAG_ENEMY && enemy && enemy->purification_target) || (tag == TAG_BOSS && boss && boss->defeated)) {
            FindTarget();
        }
    }
    if (!was_hit) {
        hurt_flash = false;
    } else if (sprite) {
        hurt_flash = true;
        if (TotalTime() >= hit_time + kHitRecovery) {
            hit_time = TotalTime();
            was_hit = false;
        }
    }
    MoveToTarget();
    if (stats && stats->hp <= 0) state = COMPANION_DOWN;
    UpdateTexture();
    footstep_timer -= FrameTime();
}

void AIMovement::Stop()
{
    if (rigid_body) rigid_body->SetVelocity(Vec2());
}

bool AIMovement::ContactWith(Entity* other) const { return ContactTest(owner, other); }

void AIMovement::MoveToTarget()
{
    if (!rigid_body && owner) rigid_body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D);
    // A target destroyed since the last frame is forgotten.
    if (target != 0 && !GetTarget()) ResetTarget();
    switch (state) {
    case COMPANION_IDLE: IdleStep(); break;
    case COMPANION_WALKING: WalkingStep(); break;
    case COMPANION_ATTACKING: AttackingStep(); break;
    case COMPANION_DOWN:
    case COMPANION_RECALLED: Stop(); break;
    default: break;
    }
}

void AIMovement::IdleStep()
{
    if (!GameIsRunning && GetTarget()) {
        ResetTarget();
        return;
    }
    if (!owner || !owner->active) return;
    FindTarget();
    Entity* other = GetTarget();
    if (!other) return;
    if (engaged) {
        if (!ContactWith(other)) {
            engaged = false;
        } else {
            state = TotalTime() - last_attack_time >= cooldown ? COMPANION_ATTACKING : COMPANION_IDLE;
        }
        return;
    }
    if (other->id == player_target && near_player) {
        if (!ContactWith(other)) {
            near_player = false;
            state = COMPANION_WALKING;
        }
        return;
    }
    state = COMPANION_WALKING;
}

void AIMovement::WalkingStep()
{
    if (!owner || !owner->active) state = COMPANION_IDLE;
    Entity* other = GetTarget();
    if (!other) {
        Stop();
        state = COMPANION_IDLE;
        return;
    }
    auto other_stats = other->GetComponent<Stats>(STATS);
    if ((other_stats && other_stats->hp <= 0) || !GameIsRunning) {
        RemoveTarget(other);
        state = COMPANION_IDLE;
        return;
    }
    RecordPositions(owner, other, own_position, target_position);

    if (HasCollider(other) && HasCollider(owner) && ContactWith(other) && rigid_body) {
        Stop();
        state = COMPANION_IDLE;
        if (TagOf(other) == TAG_PLAYER) {
            near_player = true;
        } else {
            engaged = true;
            Shared().companion_contact_offset = target_position - own_position;
        }
        return;
    }
    // An enemy that came into view replaces the player being followed, and is walked to at once.
    if (other->id == player_target) {
        FindTarget();
        other = GetTarget();
        if (!other) return;
    }
    if (stats && rigid_body) {
        const float health = static_cast<float>(HpQuotient(stats->hp, max_hp));
        const Vec2 direction = WalkDirection(owner, other, own_position, target_position);
        rigid_body->SetVelocity(direction * (stats->speed_attack + health * stats->def_modifier));
    }
    PlayFootstep(owner, "SFX_D_Footstep", last_footstep, footstep_timer, kFootstepInterval);
}

void AIMovement::AttackingStep()
{
    LogLine("AI reached target");
    if (!owner || !owner->active) {
        state = COMPANION_IDLE;
        return;
    }
    Entity* other = GetTarget();
    if (!other) {
        Stop();
        state = COMPANION_IDLE;
        return;
    }
    if (!GameIsRunning) {
        RemoveTarget(other);
        state = COMPANION_IDLE;
        return;
    }
    if (!HasCollider(other) || !HasCollider(owner)) return;
    const bool in_reach = ContactWith(other) || target_position - own_position == Shared().companion_contact_offset;
    auto sprite = owner->GetComponent<Sprite>(SPRITE);
    const Swing swing = SwingStep(sprite.get(), in_reach, last_attack_time, cooldown, attack_frame);
    if (swing == Swing::Lands) LandHit(other);
    else if (swing == Swing::Ends) state = COMPANION_IDLE;
}

// ---- The hit ---------------------------------------------------------------------------------

void AIMovement::LandHit(Entity* other)
{
    engaged = true;
    last_attack_time = last_hit_dealt_time = TotalTime();
    auto enemy = other->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    if (enemy && enemy->state != ENEMY_DOWN && enemy->state != ENEMY_PURIFIED) {
        HitEnemy(other);
    } else if (other->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
        HitBoss(other);
    }
}

int32_t AIMovement::StrikeFor(Entity*& other, Stats& other_stats, int64_t defender_quotient, int32_t lowest_hp)
{
    const float defence = static_cast<float>(defender_quotient) * other_stats.def_modifier + other_stats.defense;
    const float attack = static_cast<float>(HpQuotient(stats->hp, max_hp)) * stats->att_modifier + stats->attack;
    int32_t damage = Damage(attack, defence);
    if (lowest_hp > 0) {
        // The number shown is what the target loses: nothing once it stands at its floor.
        const int64_t above = std::max<int64_t>(int64_t{other_stats.hp} - lowest_hp, 0);
        damage = static_cast<int32_t>(std::min<int64_t>(damage, above));
    }
    const uint64_t other_id = other->id;
    SpawnDamageNumber(damage, other);
    // The damage number's prefab may have run scripts: the target may be gone now.
    other = LiveEntity(other_id);
    if (!other) return -1;
    other_stats.hp = LoseHp(other_stats.hp, damage);
    return damage;
}

void AIMovement::HitEnemy(Entity* other)
{
    auto enemy = other->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    enemy->hit_time = TotalTime();
    auto other_stats = other->GetComponent<Stats>(STATS);
    if (!stats || !other_stats) return;
    const int32_t damage =
        StrikeFor(other, *other_stats, HpQuotient(other_stats->hp, enemy->max_hp), enemy->LowestHp());
    if (damage < 0) return;
    enemy->was_hit = true;
    enemy->last_damage_taken = static_cast<uint64_t>(damage);
    enemy->knocked_back = false;
    if (other_stats->hp <= 0) {
        RemoveTarget(other);
        PlayEvent(other, "SFX_E_Death");
        state = COMPANION_IDLE;
    }
}

void AIMovement::HitBoss(Entity* other)
{
    auto boss = other->GetComponent<BossBehaviour>(BOSSBEHAVIOUR);
    PlayEvent(other, "SFX_E_Hurt");
    auto other_stats = other->GetComponent<Stats>(STATS);
    if (!stats || !other_stats) return;
    const int64_t quotient = HpQuotient(static_cast<int64_t>(other_stats->hp), int64_t{boss->max_hp});
    if (StrikeFor(other, *other_stats, quotient) < 0) return;
    if (boss->state == BOSS_IDLE) boss->state = BOSS_HURT;
    if (other_stats->hp <= 0) {
        RemoveTarget(other);
        state = COMPANION_IDLE;
    }
}

// ---- Target search ---------------------------------------------------------------------------

bool AIMovement::IsCandidate(Entity* entity) const
{
    const uint32_t tag = TagOf(entity);
    if (tag == TAG_ENEMY) {
        auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
        return enemy && !enemy->purification_target && enemy->state != ENEMY_DOWN && enemy->state != ENEMY_PURIFIED;
    }
    if (tag == TAG_BOSS) {
        auto boss = entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR);
        auto boss_stats = entity->GetComponent<Stats>(STATS);
        return boss && !boss->defeated && (!boss_stats || boss_stats->hp >= 1);
    }
    return false;
}

void AIMovement::ConsiderCandidate(Entity* entity, const Vec2& from)
{
    auto candidate_transform = entity->GetComponent<Transform>(TRANSFORM);
    if (!candidate_transform) return;
    const Vec2 at = candidate_transform->GetPosition2D();
    if (ActiveCamera && ActiveCamera->transform) {
        const float half = static_cast<float>(ActiveCamera->view_width / 2);
        const float centre = ActiveCamera->transform->position.x;
        if (at.x < centre - half || at.x > centre + half) {
            RemoveTarget(entity);
            return;
        }
    }
    // City-block distance, not the straight line.
    const float d = std::fabs(at.x - from.x) + std::fabs(at.y - from.y);
    Entity* current = GetTarget();
    bool take = false;
    if (!current) {
        take = true;
    } else if (IsPurifiableEnemy(entity)) {
        take = IsPurifiableEnemy(current) && d < best_distance;
    } else {
        take = IsPurifiableEnemy(current) || d < best_distance;
    }
    if (!take) return;
    target = entity->id;
    target_position = at;
    target_tag = static_cast<int32_t>(TagOf(entity));
    best_distance = d;
}

void AIMovement::FindTarget()
{
    auto scene = CurrentScene();
    if (!GameIsRunning || !scene) return;
    target = 0;
    best_distance = kNoTargetDistance;
    auto own_transform = transform ? transform : (owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr);
    const Vec2 from = own_transform ? own_transform->GetPosition2D() : Vec2();
    for (Entity* entity : scene->EntitiesOfTypes({TAG_ENEMY, TAG_BOSS})) {
        if (entity != owner && IsCandidate(entity)) ConsiderCandidate(entity, from);
    }
    if (target == 0 && GetPlayerTarget()) target = player_target;
}

// ---- Animation -------------------------------------------------------------------------------

void AIMovement::UpdateTexture()
{
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite || state < COMPANION_IDLE || state > COMPANION_DOWN) return;
    static const bool kPlayOnce[] = {false, false, true, true};
    const std::string* names[] = {&idle_texture, &walking_texture, &attack_texture, &down_texture};
    ShowStateSheet(*sprite, *names[state], base_anim_speed, kPlayOnce[state]);
}

} // namespace OrvEngine
