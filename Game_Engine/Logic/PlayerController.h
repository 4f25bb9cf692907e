// PlayerController: the player character's movement keys, spell selection and casting, the hurt
// reaction and the animation per state. It owns the purification mini-game (Purification.h) and
// hands the Shift debug keys on (PlayerDebugKeys.h). Entities it refers to across frames (spells,
// attacker) are kept by id and looked up when used. No system updates it: the player script calls
// Update, CastSpell and UpdateAnimation once per frame; key messages reach HandleMessage.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"
#include "Logic/Purification.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace OrvEngine {

class Entity;
class IScene;
class RigidBody2D;
class Spells;
class Sprite;
class Stats;
class Transform;
struct KeyMessage;

enum PlayerState : int32_t {
    PS_Idle = 0, PS_Walking = 1, PS_Attack = 2, PS_Cast = 3, PS_Purifying = 4, PS_Hurt = 5,
};

class PlayerController : public Component {
public:
    PlayerController() : Component("PlayerController") {}
    // Destroys the key icons still shown.
    ~PlayerController() override;
    bool Serialize(JsonWriter& writer) override;
    // A missing number reads as 0, a missing string keeps its value.
    void Deserialize(const rapidjson::Value& value) override;
    // Caches the owner's Stats and Transform scale; lower-case letter bindings become upper case.
    void Init() override;
    // Key messages: movement, spell selection, Space (purification), the combination, debug keys.
    void HandleMessage(Message* message) override;
    void Update() override;
    // Settings and state are copied; the copy starts with no spells, key icons, purification
    // targets, timer text, overlay or attacker of its own.
    std::shared_ptr<Component> Clone() override;

    // Starts a cast of the selected spell unless the cooldown runs; returns its kind, or 0.
    int32_t CastSpell();
    // Sets the owner's Sprite from `state`; nothing without a Sprite.
    void UpdateAnimation();
    // Called by an enemy whose attack lands.
    void SetHit(const bool& value);
    // True when the position is within `reach` of the player (0.7 above its origin on y).
    bool IsInRange(const Vec2& position) const;
    // The enemy that last hurt the player while it lives, else null.
    Entity* GetAttacker() const;

    void SetAttackCooldown(const float& value) { attack_cooldown = value; }
    void SetSpellSpeed(const float& value) { spell_speed = value; }
    float GetAttackCooldown() const { return attack_cooldown; }
    bool GetGodMode() const { return god_mode; }
    float GetAggro() const { return aggro; }

    // A new spell beside the player: (-0.2, -0.6) flying "Left" or (0.2, -0.6) flying "Right".
    void PlaceSpellLeft(const std::shared_ptr<Transform>& transform, const std::shared_ptr<Spells>& spell);
    void PlaceSpellRight(const std::shared_ptr<Transform>& transform, const std::shared_ptr<Spells>& spell);

    // The owner's Transform, or empty.
    std::shared_ptr<Transform> OwnTransform() const;
    // Plays the event on the owner's Audio component; nothing without one.
    void PlaySound(const std::string& event) const;

    std::shared_ptr<Stats> stats;
    int32_t facing = 1; // 1 right, 0 left
    int32_t up_key = 0;
    int32_t down_key = 0;
    int32_t left_key = 0;
    int32_t right_key = 0;
    float attack_cooldown = 1.0f;
    int32_t state = PS_Idle;
    std::set<uint64_t> spells; // ids of the live spells this player cast
    float spell_speed = 1.0f;
    Vec3 base_scale;
    bool hit = false;
    float hurt_time = 0.0f;
    bool god_mode = false;
    std::string idle_texture;
    std::string walking_texture;
    std::string attack_texture;
    std::string cast_texture;
    std::string spell_texture;
    std::string hurt_texture;
    std::string puri_texture;
    float aggro = 0.0f;
    float cast_start = 0.0f;
    std::vector<uint64_t> spell_removals;
    int32_t selected_spell = 0;
    float hurt_lock_time = 2.0f;
    bool hurt_lock = false;
    bool lock_attack_spell = false;
    bool lock_defence_spell = false;
    bool lock_speed_spell = false;
    bool lock_purification = false;
    bool hit_pending = false;
    uint64_t attacker = 0; // entity id of the enemy that last hurt the player
    Vec2 reach;
    bool spell_cooldown = false;
    uint64_t last_footstep = 0;
    float footstep_timer = 0.0f;
    Purification purification;

private:
    static float Now();
    static Entity* LiveEntity(uint64_t id);
    static std::shared_ptr<IScene> CurrentScene();

    // The walk the held movement keys ask for: opposite keys cancel, diagonals are not normalised.
    struct HeldWalk {
        float dx = 0.0f, dy = 0.0f;
        bool left = false, right = false, any = false;
    };
    HeldWalk ReadWalkKeys(const KeyMessage& keys) const;
    void MoveWithKeys(const KeyMessage& keys, RigidBody2D& body);
    void ResumeHeldWalk(RigidBody2D& body);
    void SelectSpell(const KeyMessage& keys);
    void UpdateHurt(RigidBody2D* body, Sprite* sprite);
    void RemoveQueuedSpells();
    void UpdateCasting(Sprite& sprite);
    void CreateSpell();
};

} // namespace OrvEngine
