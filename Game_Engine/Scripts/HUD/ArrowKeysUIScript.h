// An on-screen arrow key ("ArrowKeysUI_Up/Down/Left/Right"): dark for a quarter of a second after
// its key is pressed; the DOWN key stays dark while the companion's teleport cooldown runs and
// keeps "TP_SkillCD_Timer" showing the seconds left, hidden once the cooldown is over. The
// companion and the timer are kept by id.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class AIMovement;
class Sprite;
} // namespace OrvEngine

class ArrowKeysUIScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "ArrowKeysUIScript"; }

    static constexpr float kDimTime = 0.25f;

private:
    void FindCompanion();
    std::shared_ptr<OrvEngine::AIMovement> CompanionMovement() const;
    void Dim();
    OrvEngine::Entity* CooldownTimer();
    void ShowCooldown();

    std::shared_ptr<OrvEngine::Sprite> sprite;
    float dim_time = 0.0f;
    uint64_t companion = 0;
    uint64_t timer = 0;
};
