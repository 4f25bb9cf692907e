// The heads-up health bars: tint their own sprite green, yellow or red from the player's hp
// against its hp when the bar started. Dora's bar shares the class and also follows the player.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Sprite;
class Stats;
} // namespace OrvEngine

class IloHealthUIScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    // Green from 70 % of the starting hp, yellow from 50 %, red from 10 %; below that the colour
    // stays (each bound rounded up to a whole hp).
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "IloHealthUIScript"; }

private:
    std::shared_ptr<OrvEngine::Sprite> sprite;
    std::shared_ptr<OrvEngine::Stats> player_stats;
    int32_t max_hp = 0;
    int32_t hp = 0;
};

// Registered under its own name; everything else, the reported name included, is the player's bar.
class VavuHealthUIScript : public IloHealthUIScript {};
