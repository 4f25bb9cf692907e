// The boss fight, on top of the boss's BossBehaviour: the teleport-and-attack cycle between two
// points, spell debuffs with their icons, the low-health marker, downing the other enemies and the
// death animation that ends the chapter. The level manager's counters belong to LevelManagerScript;
// the boss's hp and the down and hurt states are set by the player and companion components.
#pragma once

#include "CoreEngine/Math.h"
#include "Scripts/BaseScript.h"
#include "Scripts/Enemies/Debuffs.h"
#include "Scripts/Level/LevelManagerLink.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {
class BossBehaviour;
class Entity;
class Parent;
class Sprite;
class Stats;
class Transform;
} // namespace OrvEngine

class BossScript : public OrvEngine::BaseScript {
public:
    // Distance from the home point to the far point, to its left; the attacks are laid out for it.
    static constexpr float kTeleportDistance = 7.0f;
    // A Transform first found by an update sets the far point this much to the left instead.
    static constexpr float kLateTeleportDistance = 5.0f;
    // Cooldowns below this are raised to it, so a 0 in the data cannot attack every frame.
    static constexpr float kMinCooldown = 0.1f;

    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    // A spell projectile touching the boss: debuffs it (unless it is down) and is used up.
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    void OnDestroy(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "BossScript"; }

    // One step of the state machine on the BossBehaviour's state.
    void UpdateState();
    // The boss's attacks (BossAttacks.cpp): waves and patterns from 0, laid out from the point
    // the boss stands at; other numbers spawn nothing.
    static constexpr int32_t kEnemyWaves = 4;
    static constexpr int32_t kBoulderPatterns = 5;
    void SpawnEnemyWave(int32_t wave);
    void SpawnBoulderPattern(int32_t pattern);

    // Components of the boss's own entity; empty ones are looked for again every frame.
    std::shared_ptr<OrvEngine::BossBehaviour> boss_behaviour;
    std::shared_ptr<OrvEngine::Sprite> sprite;
    std::shared_ptr<OrvEngine::Transform> transform;
    std::shared_ptr<OrvEngine::Stats> stats;
    std::shared_ptr<OrvEngine::Parent> parent;

    OrvEngine::Vec2 home_point;
    OrvEngine::Vec2 far_point;
    OrvEngine::Vec2 current_point;

    // Entities kept across frames, by id (0 for none); a destroyed one reads as absent.
    uint64_t companion = 0;
    uint64_t death_ui = 0;
    // A fourth hit and more count on without further effect.
    Debuffs debuffs;
    LevelManagerLink level_manager;

    bool death_ui_spawned = false;
    bool counted_on_screen = false;
    bool enemies_downed = false;

private:
    void CacheComponents(OrvEngine::Entity* entity, float teleport_distance);
    void SetTeleportPoints(float teleport_distance);
    void CheckCooldowns();
    float Cooldown(float value) const;

    void FindCompanion();
    void PlaceDebuffIcons(OrvEngine::Entity* entity);
    void UpdateScreenCount();
    void UpdateLowHpMarker();
    void DownOrdinaryEnemies();

    // Idle, the boss waits until it is on Ilo's screen.
    bool InPlayersView() const;
    void Teleport();
    int32_t ChooseAttack() const;
    void UpdateDown();
    bool AnimationPlayedOut() const;

    // The spawned entity placed at the boss position plus (dx, dy); its box 1.0 below that.
    void SpawnAt(const std::string& prefab, float dx, float dy);

    // Set once tried, so a missing prefab is reported once and not instanced every frame.
    bool icons_made = false;
    bool marker_prefab_missing = false;
    bool cooldowns_checked = false;
    // The state whose texture the Sprite shows; a state set from outside gets its texture (and a
    // fresh animation) before the state machine asks whether that animation has played out.
    int32_t shown_state = -1;
};
