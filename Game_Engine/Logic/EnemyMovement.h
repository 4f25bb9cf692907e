// EnemyMovement: a melee enemy choosing between the player and the companion, chasing, attacking,
// being knocked back, showing debuffs and becoming purifiable. No system updates it: the enemy's
// script calls ChooseTarget and then Update once per frame.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class RigidBody2D;
class Stats;
class Transform;

enum EnemyState : int32_t {
    ENEMY_IDLE = 0,
    ENEMY_WALKING = 1,
    ENEMY_ATTACKING = 2,
    ENEMY_DEBUFFED = 3,
    ENEMY_DOWN = 4,
    ENEMY_PURIFIED = 5,
    ENEMY_APPEARING = 6,
};

// Same numbering as the spell kinds.
enum DebuffKind : int32_t { DEBUFF_NONE = 0, DEBUFF_SPEED = 1, DEBUFF_ATTACK = 2, DEBUFF_DEFENCE = 3 };

class EnemyMovement : public Component {
public:
    EnemyMovement() : Component("EnemyMovement") {}

    bool Serialize(JsonWriter& writer) override;
    // Missing keys read as 0, false or an empty name.
    void Deserialize(const rapidjson::Value& value) override;
    // Finds the player and the companion in the current scene and caches the owner's Stats.
    void Init() override;
    void Update() override;
    // A copy with no targets and no cached components; it finds its own targets.
    std::shared_ptr<Component> Clone() override;

    void SetTransform(const std::shared_ptr<Transform>& value) { transform = value; }
    void SetRigidBody(const std::shared_ptr<RigidBody2D>& body) { rigid_body = body; }
    // The entity factory's removal step: drops the held body and transform and the chosen target.
    void Disconnect();

    // Forgets the target when it is this entity (null does nothing).
    void ClearTargetIf(Entity* entity);
    void ChooseTarget();
    // The player is within the player's reach while the player cannot purify.
    bool CheckPlayerTarget();
    // 0 gives 1; otherwise at most the Sprite's frame count.
    void SetAttackFrame(const uint64_t& frame);
    void UpdateTexture();
    void MoveAndAttack();

    // The entity of `target`, `player_target` or `companion_target`; null when gone or unset.
    Entity* GetTarget() const;
    Entity* GetPlayerTarget() const;
    Entity* GetCompanionTarget() const;

    void SetRange(const float& value) { range = value; }
    float GetRange() const { return range; }
    void SetDebuffMultiplier(const float& value) { debuff_multiplier = value; }
    float GetDebuffMultiplier() const { return debuff_multiplier; }
    void SetDebuffTimer(const float& value) { debuff_timer = value; }
    float GetDebuffTimer() const { return debuff_timer; }
    void SetIdleTexture(const std::string& value) { if (&value != &idle_texture) idle_texture = value; }
    std::string GetIdleTexture() const { return idle_texture; }
    void SetWalkingTexture(const std::string& value) { if (&value != &walking_texture) walking_texture = value; }
    std::string GetWalkingTexture() const { return walking_texture; }
    void SetAttackTexture(const std::string& value) { if (&value != &attack_texture) attack_texture = value; }
    std::string GetAttackTexture() const { return attack_texture; }
    void SetDownTexture(const std::string& value) { if (&value != &down_texture) down_texture = value; }
    void SetPuriTexture(const std::string& value) { if (&value != &puri_texture) puri_texture = value; }
    std::string GetPuriTexture() const { return puri_texture; }
    void SetAppearTexture(const std::string& value) { if (&value != &appear_texture) appear_texture = value; }
    std::string GetAppearTexture() const { return appear_texture; }
    void SetIsPurifiable(const bool& value) { is_purifiable = value; }
    bool GetIsPurifiable() const { return is_purifiable; }
    int32_t GetCurrentDebuff() const { return current_debuff; }

    // Hit points at or below which the enemy can be purified: 30 % of max_hp, truncated.
    int32_t PurifiableThreshold() const;
    // The hit points no hit takes the enemy below: an enemy made to be purified (is_purifiable, the
    // tutorial's lesson enemy) stops at its threshold, so only a purification ends it; others 0.
    int32_t LowestHp() const;

    bool knocked_back = false;
    float knockback_time = 0.0f;
    bool can_turn = true;
    bool reached_target = false;
    bool in_hit_window = false;
    uint64_t target = 0;  // entity id, 0 for none; resolved on use
    Vec2 target_position;
    Vec2 own_position;
    float target_distance = 9999.99f;
    int32_t state = ENEMY_APPEARING;
    float range = 0.0f;
    std::shared_ptr<RigidBody2D> rigid_body;
    std::shared_ptr<Transform> transform;
    float cooldown = 2.0f;
    float last_attack_time = 0.0f;
    float hit_time = 0.0f;
    bool was_hit = false;
    uint64_t last_damage_taken = 0;
    bool engaged = false;
    float last_hit_dealt_time = 0.0f;
    std::string idle_texture;
    std::string walking_texture;
    std::string attack_texture;
    std::string down_texture;
    std::string puri_texture;
    std::string appear_texture;
    bool is_purifiable = false;
    int32_t current_debuff = DEBUFF_NONE;
    float debuff_timer = 0.0f;
    float debuff_multiplier = 0.0f;
    std::bitset<3> debuff_flags{std::string("1000"), 0, 3};
    uint64_t player_target = 0;     // entity id of the player (tag 1), 0 for none
    uint64_t companion_target = 0;  // entity id of the companion (tag 2), 0 for none
    float base_anim_speed = 0.0f;
    bool purifiable_now = false;
    uint64_t max_hp = 0;  // the Stats hp when cached, widened with its sign
    std::shared_ptr<Stats> stats;
    bool purification_target = false;
    uint64_t attack_frame = 0;
    int32_t purification_delay = 0;
    bool hazard_hit = false;

    // One stamp for every enemy: the shared debuff period restarts from it. Taken by the first
    // Update of any enemy.

    static constexpr float kNoTargetDistance = 9999.99f;

private:
    void FindTargets(bool only_missing);
    void CacheStats();
    void ForgetTarget();
    void DropTarget();
    void Stop();
    void ApplyKnockBack(uint32_t level);
    bool ContactWith(Entity* other) const;
    void RecordPositions(Entity* other);
    void WalkTowardsTarget(Entity* other);
    void IdleStep();
    void WalkingStep();
    void AttackingStep();
    void PurifiedStep(bool& closing);
    void LandHit(Entity* other);
    void HitCompanion(Entity* other);
    void HitPlayer(Entity* other);
};

} // namespace OrvEngine
