// The player character's script: drives its PlayerController each frame, applies the damage an
// enemy's attack left pending, heals from purified enemies, keeps the two healing effects, turns
// and sorts the sprite, shakes the camera while hurt, flashes red while invulnerable and ends the
// run at 0 hp. The companion and the healing effects are kept by id and looked up when used.
#pragma once

#include "CoreEngine/Math.h"
#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Parent;
class PlayerController;
class Sprite;
class Stats;
class Transform;
} // namespace OrvEngine

class PlayerScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    // Terrain damage (type 7) takes 2 hp; a purified enemy (type 3) whose animation has played out
    // heals the player and the companion.
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "PlayerScript"; }

    // Spacing of the healing effect below its character, and the hp lost per terrain touch.
    static constexpr float kHealEffectDrop = 1.0f;
    static constexpr int32_t kTerrainDamage = 2;

private:
    void FindCompanion();
    void ApplyPendingDamage();
    void MakeHealingEffects(OrvEngine::Entity* entity);
    void ApplyFacing();
    void UpdateCameraShake();
    void HealFrom(OrvEngine::Entity* self, OrvEngine::Entity* enemy);
    void TakeTerrainDamage(OrvEngine::Entity* self);

    std::shared_ptr<OrvEngine::Transform> transform;
    std::shared_ptr<OrvEngine::Sprite> sprite;
    std::shared_ptr<OrvEngine::PlayerController> controller;
    std::shared_ptr<OrvEngine::Parent> parent;
    std::shared_ptr<OrvEngine::Stats> stats;
    uint64_t companion = 0;
    uint64_t heal_effect = 0;
    uint64_t companion_heal_effect = 0;
    OrvEngine::Vec3 base_scale;
    int32_t max_hp = 0;
    // The death sound plays on the first frame that finds hp below 1, not on every frame after.
    bool death_announced = false;
};
