// The button system: every button ordered by screen position (top row first, left to right),
// the selection, keyboard navigation, highlighting and activation (colour, menu sound, the scene
// request), and the mouse mode of the frame. A menu takes
// input only once it is shown (no fade-in still darkening it), and only keys pressed after it
// appeared: a key already down then is ignored until it is released.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Math.h"
#include "CoreEngine/Singleton.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace OrvEngine {

class Button;
struct KeyMessage;

struct ButtonKey {
    float x = 0.0f;
    float y = 0.0f;
};

// Higher y first; equal y, smaller x first.
struct ButtonKeyOrder {
    bool operator()(const ButtonKey& a, const ButtonKey& b) const
    {
        return a.y > b.y || (a.y == b.y && a.x < b.x);
    }
};

class ButtonSystem : public ISystem, public Singleton<ButtonSystem> {
public:
    ~ButtonSystem() override;
    void HandleMessage(Message* message) override;
    void Update() override;
    std::string GetName() override { return "ButtonSystem"; }
    void Init() override;

    // Inserted under the owner's Transform position, after equal keys; nothing without a Transform.
    void AddButton(const std::shared_ptr<Button>& button);
    // Also drops the selection when it is this button.
    void RemoveButton(const std::shared_ptr<Button>& button);
    void UpdateButtonKey(const std::shared_ptr<Button>& button);
    void ClearSelection() { selected.reset(); }
    // Paints the button activated, plays the selection sound and requests its next_state.
    void Activate(Button& button, bool drop_selection);
    // Called every frame by a fade-in that still darkens the screen: until a frame passes without
    // the call the menu is not shown, and keys, clicks and pending activations are dropped.
    void HoldWhileFading() { fade_hold_ = true; }
    // The menu is on screen and answers input.
    bool IsShown() const { return !covered_; }

    std::multimap<ButtonKey, std::shared_ptr<Button>, ButtonKeyOrder> buttons;
    std::shared_ptr<Button> selected;
    bool mouse_mode = false;
    bool activate_request = false;
    // The colour of text-only buttons when neither hovered nor selected, noted once.
    Vec3 normal_text_colour;
    bool has_normal_text_colour = false;

private:
    bool AcceptsInput() const;
    // The keys down now are ignored until released (the menu has just appeared or is not shown).
    void NoteKeysDown();
    bool IsFreshPress(const KeyMessage& keys, uint64_t key) const;
    void NavigateByKey(const KeyMessage& keys);
    void SelectPrevious();
    void SelectNext();
    std::multimap<ButtonKey, std::shared_ptr<Button>, ButtonKeyOrder>::iterator FindSelectedEntry();
    void UpdateButton(Button& button);
    void SetHighlight(Button& button, bool on);
    // Makes the button the selection when it is in the map under its position.
    void Select(Button& button);
    void PlayHighlightOnce(Button& button);

    bool fade_hold_ = false;
    bool covered_ = false;
    std::set<uint64_t> keys_down_before_;
};

} // namespace OrvEngine
