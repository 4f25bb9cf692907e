// AudioSystem: sounds, channels and the music and effects groups.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {

class AudioSystem : public ISystem, public Singleton<AudioSystem> {
public:
    std::string GetName() override { return "AudioSystem"; }
    void Init() override;
    // Silences the music group while the window has no focus, apart from the player's own mute.
    void SetFocusMute(bool muted) { focus_muted = muted; }
    bool focus_muted = false;
};

} // namespace OrvEngine
