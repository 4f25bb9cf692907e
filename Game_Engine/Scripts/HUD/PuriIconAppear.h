// The purification skill icon: the cooldown picture while the player's purification cools down,
// else the ready picture while a purifiable enemy is on screen, else invisible (tint alpha 0; its
// sprite is marked tinted in the level data). The player and the level manager are kept by id.
#pragma once

#include "Scripts/BaseScript.h"
#include "Scripts/Level/LevelManagerLink.h"

#include <cstdint>
#include <string>

class PuriIconAppear : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "PuriIconAppear"; }

private:
    void FindPlayer();

    std::string ready_texture = "UI_PurifySkill";
    std::string cooldown_texture = "UI_PurifySkill_CD";
    uint64_t player = 0;
    LevelManagerLink level_manager;
};
