// AIMovement: the companion seeking the nearest enemy or the boss in view, fighting it and following
// the player. No system updates it: the companion's script calls Update once per frame.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class RigidBody2D;
class Stats;
class Transform;

enum CompanionState : int32_t {
    COMPANION_IDLE = 0,
    COMPANION_WALKING = 1,
    COMPANION_ATTACKING = 2,
    COMPANION_DOWN = 3,
    COMPANION_RECALLED = 4,
};

class AIMovement : public Component {
public:
    AIMovement() : Component("AIMovement") {}

    bool Serialize(JsonWriter& writer) override;
    // Missing keys read as 0 or an empty name.
    void Deserialize(const rapidjson::Value& value) override;
    // Finds the player in the current scene; caches the owner's Stats and animation speed.
    void Init() override;
    void Update() override;
    // A copy with no target and no cached Stats; it finds and caches its own.
    std::shared_ptr<Component> Clone() override;

    void SetTransform(const std::shared_ptr<Transform>& value) { transform = value; }
    void SetRigidBody(const std::shared_ptr<RigidBody2D>& body) { rigid_body = body; }
    // The entity factory's removal step: drops the held body and transform and the target.
    void Disconnect();

    void MoveToTarget();
    // Picks the enemy or boss to go for among the current scene's live entities (only while the
    // game runs); falls back to the player.
    void FindTarget();
    void UpdateTexture();
    // Moves the companion onto the player (x, y and z), then searches again.
    void TeleportToPlayer();
    // Forgets the target when it is this entity (null does nothing).
    void RemoveTarget(Entity* entity);
    void ResetTarget();
    // 0 gives 1; otherwise at most the Sprite's frame count.
    void SetAttackFrame(const uint64_t& frame);

    // The entity of `target` or `player_target`; null when gone or unset.
    Entity* GetTarget() const;
    Entity* GetPlayerTarget() const;

    void SetRange(const float& value) { range = value; }
    float GetRange() const { return range; }
    void SetCooldown(const float& value) { cooldown = value; }
    float GetCooldown() const { return cooldown; }
    void SetReviveTime(const float& value) { revive_time = value; }
    float GetReviveTime() const { return revive_time; }
    void SetIdleTexture(const std::string& value) { if (&value != &idle_texture) idle_texture = value; }
    std::string GetIdleTexture() const { return idle_texture; }
    void SetWalkingTexture(const std::string& value) { if (&value != &walking_texture) walking_texture = value; }
    std::string GetWalkingTexture() const { return walking_texture; }
    void SetAttackTexture(const std::string& value) { if (&value != &attack_texture) attack_texture = value; }
    std::string GetAttackTexture() const { return attack_texture; }
    void SetDownTexture(const std::string& value) { if (&value != &down_texture) down_texture = value; }
    std::string GetDownTexture() const { return down_texture; }

    static constexpr float kNoTargetDistance = std::numeric_limits<float>::max();

    uint64_t target = 0;         // entity id, 0 for none; resolved on use
    uint64_t player_target = 0;  // entity id of the player (tag 1), 0 for none
    Vec2 target_position;
    int32_t target_tag = 0;
    Vec2 own_position;
    float best_distance = kNoTargetDistance;
    float range = 0.0f;
    int32_t state = COMPANION_IDLE;
    std::shared_ptr<RigidBody2D> rigid_body;
    std::shared_ptr<Transform> transform;
    float cooldown = 2.0f;
    float last_attack_time = 0.0f;
    float revive_time = 5.0f;
    float hit_time = 0.0f;
    bool was_hit = false;
    bool engaged = false;
    float last_hit_dealt_time = 0.0f;
    std::string idle_texture;
    std::string walking_texture;
    std::string attack_texture;
    std::string down_texture;
    bool near_player = false;
    bool hurt_flash = false;
    std::shared_ptr<Stats> stats;
    uint64_t max_hp = 0;  // the Stats hp when cached, widened with its sign
    uint64_t attack_frame = 0;
    float base_anim_speed = 0.0f;
    uint64_t last_footstep = 0;
    float footstep_timer = 0.0f;
    // Written by the companion's script only, read by the heads-up display: seconds left of the
    // teleport cooldown and whether it runs. Not saved.
    float teleport_cooldown_shown = 0.0f;
    bool cooldown_active = false;

    // Shared by every companion: where the last target stood relative to the companion when a
    // walking companion reached it.

private:
    void CacheStats();
    void Stop();
    bool ContactWith(Entity* other) const;
    void IdleStep();
    void WalkingStep();
    void AttackingStep();
    void PlayFootstep();
    void LandHit(Entity* other);
    // Deals this companion's damage to other (its quotient given), never taking it below lowest_hp;
    // returns the hit points it lost, -1 when other is gone meanwhile.
    int32_t StrikeFor(Entity*& other, Stats& other_stats, int64_t defender_quotient, int32_t lowest_hp = 0);
    void HitEnemy(Entity* other);
    void HitBoss(Entity* other);
    bool IsCandidate(Entity* entity) const;
    void ConsiderCandidate(Entity* entity, const Vec2& from);
};

} // namespace OrvEngine
