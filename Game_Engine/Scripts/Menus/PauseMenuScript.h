// One entity of a level's pause menu: shown only while the scene is paused, and by its name one of
// "ResumeGame", "ToggleMuteBGM", "ToggleMuteSFX" or "HowToPlay" (the how-to-play panel, the live
// entity "HTPInPauseMenu", which a click after a second closes back to the menu and Escape closes
// as the game resumes; while it is open the menu's buttons do nothing). An entity with none of
// these names, or without a Button, only shows and hides with the pause; the menu's background
// "Pause_bg" also keeps the menu in front.
#pragma once

#include "Scripts/Menus/MuteToggleScript.h"

#include <cstdint>

class PauseMenuScript : public MuteToggleScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "PauseMenuScript"; }

    uint64_t panel_id = 0; // the "HTPInPauseMenu" entity, looked up by id when used
    bool panel_timer_running = false;
    float panel_timer = 0.0f; // seconds since the panel was opened

    // A click closes the panel only after it has been open this long, so the opening click's own
    // release does not close it at once.
    static constexpr float kPanelClickDelay = 1.0f;

private:
    OrvEngine::Entity* Panel() const;
    bool PanelOpen() const;
    void FindPanel();
    void FollowPause(OrvEngine::Entity* entity);
    void ActOnPress(OrvEngine::Entity* entity);
    // The mute toggle or help panel the entity's name names; nothing for other names.
    void RunNamedAction(OrvEngine::Entity* entity);
    void Resume();
    void OpenPanel();
    void ClosePanel();
    void HandleClick(OrvEngine::Entity* entity, OrvEngine::Message* message);
};
