// A toggle of the options menu: its Information name, "ToggleMuteBGM" or "ToggleMuteSFX", says which
// sound group it mutes. Pressed with Enter on the selection or a left click.
#pragma once

#include "Scripts/Menus/MuteToggleScript.h"

class OptionMenuScript : public MuteToggleScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "OptionMenuScript"; }
};
