// An exit button with a Yes/No confirmation box ("ExitWarningBoxMain", "...Yes", "...No"). While the
// box is open every other button is taken out of keyboard navigation (stashed) and given back when
// it closes (No, a click on No, or Escape). Yes is the box's own Button: from the main menu it keeps
// its prefab's next state, from a level's pause menu ("ExitToMainMenu") it leads to the main menu.
// In a level the box is attached to the pause menu's background "Pause_bg", in front of it; the
// button does nothing while the pause menu's how-to-play panel is open.
#pragma once

#include "Graphics/ButtonSystem.h"
#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace OrvEngine {
class Button;
}

class QuitGameMenuScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "QuitGameMenuScript"; }

    // A button taken out of navigation, with its owner's id to tell whether it still exists.
    struct StashedButton {
        OrvEngine::ButtonKey key;
        uint64_t owner_id = 0;
        std::shared_ptr<OrvEngine::Button> button;
    };

    std::vector<StashedButton> stashed_buttons; // in the button map's order
    std::shared_ptr<OrvEngine::Button> button;
    uint64_t box_main = 0; // the box's entities, by id
    uint64_t box_yes = 0;
    uint64_t box_no = 0;
    bool box_made = false;
    bool box_open = false;
    bool stash_taken = false; // the stash belongs to this opening of the box

private:
    void FollowPause(OrvEngine::Entity* entity);
    void OpenBox();
    void TakeStash();
    void MakeBox(OrvEngine::Entity* entity);
    void AttachToPauseBackground();
    void CloseBox();
    void GiveStashBack();
    std::shared_ptr<OrvEngine::Button> ButtonOf(uint64_t id) const;
};
