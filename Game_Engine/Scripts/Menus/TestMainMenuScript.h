// The main menu's music entity ("BGM"): raises the channel of "BGM_Main.ogg" to twice the unit
// volume once it plays (the sound layer caps it at full volume; the music mute still applies).
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Audio;
}

class TestMainMenuScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "TestMainMenuScript"; }

    std::shared_ptr<OrvEngine::Audio> audio;
    bool playing = false;         // whether the music played when the script started
    bool volume_set = false;

    static constexpr float kMusicVolume = 2.0f;
};
