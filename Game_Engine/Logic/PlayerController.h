// PlayerController: the player character's movement keys, spell selection and casting, the hurt
// reaction, the animation per state, the purification mini-game and the Shift debug keys.
// Entities it refers to across frames (spells, attacker, purification targets, key icons, timer
// text, overlay) are kept by id and looked up when used. No system updates it: the player script
// calls Update, CastSpell and UpdateAnimation once per frame; key messages reach HandleMessage.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
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

    // Purification mini-game (Purification.cpp).
    void CollectPurificationTargets();
    void GenerateCombo();
    void SpawnKeyIcon(const Vec2& position, float scale, const std::string& texture);
    void LayoutKeyIcons(const Vec2& centre, float spacing, float scale, const std::string& left,
                        const std::string& right, const std::string& up, const std::string& down);
    void ClearCombo();
    // Checks the typed keys one at a time against the combination; true once all three match.
    bool CheckComboInput();
    void PlacePurificationOverlay(const Vec2& position);
    void RemovePurificationOverlay();
    void UpdatePurificationTimerText();
    void HidePurificationTimerText();

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
    float purification_start = 0.0f;
    float purification_timer = 5.0f;
    float cast_start = 0.0f;
    std::vector<int32_t> combo;
    std::vector<uint64_t> key_icons;
    std::vector<int32_t> combo_input;
    std::vector<bool> combo_matched;
    uint64_t purify_target = 0;
    uint64_t timer_text = 0;
    uint64_t overlay = 0;
    Vec2 icon_offset{0.0f, 1.5f};
    float icon_spacing = 0.7f;
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
    uint64_t purified_total = 0;
    uint64_t purify_chain = 0;
    std::multimap<float, uint64_t> purify_targets; // city-block distance -> entity id, nearest first
    bool purification_cooldown = false;
    Vec2 reach;
    bool spell_cooldown = false;
    uint64_t last_footstep = 0;
    float footstep_timer = 0.0f;
    // Depth added to entities so they show in front of the overlay: (entity id, amount), undone
    // exactly on removal. Runtime only.
    std::vector<std::pair<uint64_t, float>> depth_lifts;

private:
    static float Now();
    static Entity* LiveEntity(uint64_t id);
    static std::shared_ptr<IScene> CurrentScene();
    std::shared_ptr<Transform> OwnTransform() const;
    void PlaySound(const std::string& event) const;

    void MoveWithKeys(const KeyMessage& keys, RigidBody2D& body);
    void PlayFootstep();
    void SelectSpell(const KeyMessage& keys);
    void UpdateHurt(RigidBody2D* body, Sprite* sprite);
    void RemoveQueuedSpells();
    void UpdateCasting(Sprite& sprite);
    void CreateSpell();

    // Purification.cpp
    void HandleSpace();
    void StartPurification();
    void RecordComboKey(const KeyMessage& keys);
    void AdvancePurification();
    // The combination was typed: purifies the current target; true when none is left.
    bool PurifyCurrentTarget();
    // Abandon (Space) or time-out: the overlay, text and icons go and the cooldown starts.
    void EndPurification();
    void StopPurification();
    void MarkTargetIcon();
    void RestoreLeftoverTargets();
    void UpdatePurificationCooldown();
    void StartPurificationCooldown();
    void ShowComboIcons();
    void LightKeyIcon(size_t index);
    // Raises the entity's depth by the overlay's once per overlay; behind_only: only when it is
    // not already in front of the overlay.
    void LiftDepth(uint64_t id, float overlay_depth, bool behind_only);
    uint64_t NextLiveTarget();

    // PlayerDebugKeys.cpp
    void HandleDebugKeys(const KeyMessage& keys);
};

} // namespace OrvEngine
