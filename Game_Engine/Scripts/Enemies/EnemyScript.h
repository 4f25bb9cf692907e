// The ordinary enemies' scripts: the attack enemy (EnemyScript), the defence enemy and the speed
// enemy. They drive the enemy's EnemyMovement (which chases and attacks), turn spell hits into
// timed debuffs with icons, keep the health bar and low-health marker beside the enemy, count the
// enemy with the level manager and remove it once it is down or collected.
// Entities made here (bar, icons, marker, hit effect) are kept by id and looked up on use.
#pragma once

#include "CoreEngine/Math.h"
#include "Scripts/BaseScript.h"
#include "Scripts/Enemies/Debuffs.h"
#include "Scripts/Level/LevelManagerLink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {
class Child;
class EnemyMovement;
class IScene;
class Parent;
class Sprite;
class Stats;
class Transform;
} // namespace OrvEngine

class EnemyScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void OnDestroy(OrvEngine::Entity* entity) override;
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "EnemyScript"; }

    LevelManagerLink level_manager;
    // Levels held at 3.
    Debuffs debuffs;
    uint64_t hp_bar = 0;
    uint64_t debuff_vfx = 0;  // speed enemy only
    bool ui_made = false;     // the bar and icons are made once, on the first update
    std::shared_ptr<OrvEngine::Stats> stats;
    std::shared_ptr<OrvEngine::EnemyMovement> enemy_movement;
    std::shared_ptr<OrvEngine::Transform> transform;
    std::shared_ptr<OrvEngine::Parent> parent;
    std::shared_ptr<OrvEngine::Sprite> sprite;
    std::string entity_name;
    int32_t facing = 0;  // 1 faces +x, 0 faces -x
    OrvEngine::Vec3 base_scale;
    int32_t last_enemy_state = 0;
    bool is_purifiable = false;
    bool counted_on_screen = false;
    bool hurt_sound_played = false;

    static constexpr int kHurtSounds = 4;

protected:
    // What sets the three classes apart.
    struct Kind {
        const char* hurt_sound;   // event prefix; 1 to kHurtSounds is appended
        bool keeps_player_target; // never chooses between the player and the companion
        bool has_hit_effect;      // "Debuff_VFX" shown at every spell contact
        bool removes_every_child; // "VavuHelp" included
        bool raises_ui;           // bar, icons and effect drawn just in front of the enemy
    };
    virtual Kind GetKind() const { return {"SFX_AE_Hurt", false, false, false, false}; }

private:
    // Init and the contacts (EnemyScript.cpp).
    void TakeSpell(OrvEngine::Entity* self, OrvEngine::Entity* other);
    // One of the kind's hurt sounds, drawn at random.
    std::string HurtSound() const;
    void ApplyDebuff(int32_t kind);
    void Collect(OrvEngine::Entity* self);

    // The per-frame update (EnemyUpdate.cpp).
    bool IsFinished(const OrvEngine::Entity* entity) const;
    void RemoveWithChildren(OrvEngine::Entity* entity, OrvEngine::IScene& scene);
    void MakeUi(OrvEngine::Entity* entity);
    void PlaceUi();
    void CountOnScreen();
    bool DepthHeld() const;
    void UpdateDepth();
    void LiftUi();
    void DriveMovement(OrvEngine::Entity* entity);
    void TurnToMovement(OrvEngine::Entity* entity);
    void PlayHurtSound(OrvEngine::Entity* entity);
    void ApplyFacing();
    void ExpireDebuffs();
    void UpdateLowHpMarker();
    void FlashWhileHurt();
    // The children attached to the Parent, a copy safe to walk while entities are removed.
    static std::vector<std::shared_ptr<OrvEngine::Child>> ChildrenOf(const std::shared_ptr<OrvEngine::Parent>& of);
    // The name's first letter ('\0' for none): 'D', 'A' and 'S' choose the bar and icons' layout.
    char LayoutLetter() const;
};

class DefenseEnemyScript : public EnemyScript {
protected:
    Kind GetKind() const override { return {"SFX_DE_Hurt", false, false, false, false}; }
};

class SpeedEnemyScript : public EnemyScript {
public:
    std::string GetName() override { return "SpeedEnemyScript"; }

protected:
    Kind GetKind() const override { return {"SFX_SE_Hurt", true, true, true, true}; }
};
