// The companion's script (Dora): drives its AIMovement each frame, turns and sorts the sprite,
// flashes it red while hurt, keeps the "VavuHelp" icon over the current target, plays the teleport
// that the DOWN key asks for and counts its cooldown down, and ends the run at 0 hp. The help icon
// and the target are kept by id and looked up when used.
#pragma once

#include "CoreEngine/Math.h"
#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {
class AIMovement;
class Parent;
class Sprite;
class Stats;
class Transform;
} // namespace OrvEngine

class AIScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    // A terrain-damage touch (type 7) takes 2 hp unless the companion is still hurt.
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    // DOWN just pressed, outside a purification and with the cooldown spent, starts a teleport.
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "AIScript"; }

    static constexpr float kTeleportCooldown = 5.0f;
    static constexpr int32_t kTerrainDamage = 2;

    float GetCooldownLeft() const { return cooldown_left; }

private:
    void FindHelp();
    void UpdateFacing(OrvEngine::Entity* entity, OrvEngine::Entity* target);
    void ApplyFacing();
    void UpdateHelpIcon(OrvEngine::Entity* self, OrvEngine::Entity* target);
    void MoveHelp(OrvEngine::Entity* help_entity, OrvEngine::Entity* from, OrvEngine::Entity* to);
    void ShowHelpIcon(OrvEngine::Entity* help_entity, OrvEngine::Entity* target);
    void UpdateTeleport();
    void UpdateCooldown();

    std::shared_ptr<OrvEngine::Stats> stats;
    std::shared_ptr<OrvEngine::AIMovement> movement;
    std::shared_ptr<OrvEngine::Transform> transform;
    std::shared_ptr<OrvEngine::Parent> parent;
    std::shared_ptr<OrvEngine::Sprite> sprite;
    int32_t facing = 1;
    OrvEngine::Vec3 base_scale;
    std::string teleport_texture;
    std::string arrive_texture;
    bool teleported = false;
    float teleport_frame_time = 0.0f;
    float teleport_cooldown = 0.0f;
    float cooldown_left = 0.0f;
    uint64_t help = 0;
    // Where the icon sits relative to its holder; places it when the holder it had is gone.
    OrvEngine::Vec2 help_offset;
    bool death_announced = false;
};
