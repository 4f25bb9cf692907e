// The part the pause and options menus share: the two mute toggles. The mute state lives in the
// audio system (music group volume, effects group mute); a script only mirrors it in its two flags,
// read again at every Init, so every menu shows the same ticks.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Button;
class Information;
class Sprite;
} // namespace OrvEngine

class MuteToggleScript : public OrvEngine::BaseScript {
public:
    // Flips the music between silent (stored volume 0) and full volume (always 1, not an earlier
    // level), shows the matching tick and drops the pending activation.
    void ToggleMuteBGM();
    // Flips the effects group's mute; the stored effects volume is left alone.
    void ToggleMuteSFX();

    bool bgm_muted = false;
    bool sfx_muted = false;
    std::shared_ptr<OrvEngine::Button> button;
    std::shared_ptr<OrvEngine::Information> information;
    std::shared_ptr<OrvEngine::Sprite> sprite;

protected:
    // Reads the mute state, caches the components and shows the tick of a toggle entity.
    void InitToggles(OrvEngine::Entity* entity);
    // Caches whichever of Button, Information and Sprite is still missing.
    void CacheComponents(OrvEngine::Entity* entity);
    // The Information name, empty without one.
    const std::string& RoleName() const;
};
