// The heads-up health bars: tint their own sprite green, yellow or red from a character's hp
// against its hp when the bar started: Ilo's bar from the player's, Dora's from the companion's.
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

protected:
    // The character whose hp the bar shows: the player (the last of the scene, should there be several).
    virtual OrvEngine::Entity* FindShown() const;

private:
    // Takes the shown character's Stats and its hp as the starting hp; nothing while it is missing.
    void TakeStats();

    std::shared_ptr<OrvEngine::Sprite> sprite;
    std::shared_ptr<OrvEngine::Stats> shown_stats;
    int32_t max_hp = 0;
    int32_t hp = 0;
};

// Dora's bar: registered under its own name and reporting the player bar's; it shows the companion.
class VavuHealthUIScript : public IloHealthUIScript {
protected:
    OrvEngine::Entity* FindShown() const override;
};
