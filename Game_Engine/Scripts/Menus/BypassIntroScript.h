// Skips an intro scene to the main menu on a left or right click, Escape, Space or Enter.
#pragma once

#include "Scripts/BaseScript.h"

class BypassIntroScript : public OrvEngine::BaseScript {
public:
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "BypassIntroScript"; }
};
