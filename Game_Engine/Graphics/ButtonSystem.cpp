#include "Graphics/ButtonSystem.h"

#include "Audio/AudioSystem.h"
#include "Components/Button.h"
#include "Components/Sprite.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/SceneStateMachine.h"
#include "Windows/Input.h"

#include <iterator>
#include <vector>

namespace OrvEngine {

namespace {
const Vec4 kHighlight(1.0f, 1.0f, 0.0f, 1.0f);
const Vec4 kActivated(0.0f, 0.0f, 1.0f, 1.0f);

// The entity is active and, when it has Information, that is active too.
bool IsLive(const Button& button, bool require_information)
{
    Entity* owner = button.owner;
    if (!owner || !owner->active) return false;
    auto info = owner->GetComponent<Information>(INFORMATION);
    if (!info) return !require_information;
    return info->IsActive();
}

void PaintActivated(Button& button)
{
    if (auto sprite = button.owner->GetComponent<Sprite>(SPRITE)) {
        sprite->SetTint(kActivated, sprite->is_tinted);
    } else if (auto text = button.owner->GetComponent<Text>(TEXT)) {
        text->SetColour({kActivated.x, kActivated.y, kActivated.z});
    }
}
} // namespace

ButtonSystem::~ButtonSystem()
{
    selected.reset();
    buttons.clear();
}

void ButtonSystem::Init()
{
    RegisterComponent<Button>("Button", BUTTON);
    RouteComponent(BUTTON, &ButtonSystem::AddButton, &ButtonSystem::RemoveButton);
}

void ButtonSystem::AddButton(const std::shared_ptr<Button>& button)
{
    auto transform = button && button->owner ? button->owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    buttons.insert({ButtonKey{transform->position.x, transform->position.y}, button});
}

void ButtonSystem::RemoveButton(const std::shared_ptr<Button>& button)
{
    if (!button) return;
    for (auto it = buttons.begin(); it != buttons.end(); ++it) {
        if (it->second == button) {
            buttons.erase(it);
            break;
        }
    }
    // The owner may be destroyed next: never leave it selected.
    if (selected == button) selected.reset();
}

void ButtonSystem::UpdateButtonKey(const std::shared_ptr<Button>& button)
{
    auto transform = button && button->owner ? button->owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    for (auto it = buttons.begin(); it != buttons.end(); ++it) {
        if (it->second != button) continue;
        if (it->first.x == transform->position.x && it->first.y == transform->position.y) return;
        buttons.erase(it);
        buttons.insert({ButtonKey{transform->position.x, transform->position.y}, button});
        button->position = transform->position;
        return;
    }
}

bool ButtonSystem::AcceptsInput() const
{
    return selected && !buttons.empty() && GameIsRunning && IsLive(*selected, false);
}

std::multimap<ButtonKey, std::shared_ptr<Button>, ButtonKeyOrder>::iterator ButtonSystem::FindSelectedEntry()
{
    auto transform = selected->owner->GetComponent<Transform>(TRANSFORM);
    if (!transform) return buttons.end();
    for (auto it = buttons.begin(); it != buttons.end(); ++it) {
        if (it->first.x == transform->position.x && it->first.y == transform->position.y) return it;
    }
    return buttons.end();
}

void ButtonSystem::SelectPrevious()
{
    if (buttons.begin()->second == selected) {
        selected = std::prev(buttons.end())->second;
        return;
    }
    auto found = FindSelectedEntry();
    if (found == buttons.end() || found == buttons.begin()) return;
    selected = std::prev(found)->second;
}

void ButtonSystem::SelectNext()
{
    auto found = FindSelectedEntry();
    if (found == buttons.end()) return;
    auto next = std::next(found);
    selected = (next == buttons.end() ? buttons.begin() : next)->second;
}

void ButtonSystem::NoteKeysDown()
{
    keys_down_before_.clear();
    for (const auto& [key, count] : Input::GetKeyMessage().counts) {
        if (count != 0) keys_down_before_.insert(key);
    }
}

bool ButtonSystem::IsFreshPress(const KeyMessage& keys, uint64_t key) const
{
    return keys.IsOwnPress(key) && keys_down_before_.count(key) == 0;
}

void ButtonSystem::NavigateByKey(const KeyMessage& keys)
{
    // Only the message's own key-down counts, so another key's message never repeats a move.
    static const uint64_t kPrevious[] = {Platform::VK_UP_KEY, Platform::VK_LEFT_KEY, 'W', 'A'};
    static const uint64_t kNext[] = {Platform::VK_DOWN_KEY, Platform::VK_RIGHT_KEY, 'S', 'D'};
    for (uint64_t key : kPrevious) {
        if (IsFreshPress(keys, key)) {
            SelectPrevious();
            return;
        }
    }
    for (uint64_t key : kNext) {
        if (IsFreshPress(keys, key)) {
            SelectNext();
            return;
        }
    }
    if (IsFreshPress(keys, Platform::VK_RETURN_KEY) && selected) activate_request = true;
}

void ButtonSystem::HandleMessage(Message* message)
{
    if (message->id == MSG_KEY) {
        // A key let go may act again once pressed anew: a release is heard even by a hidden menu.
        const auto* keys = static_cast<KeyMessage*>(message);
        if (!keys->IsKeyDown(keys->key)) keys_down_before_.erase(keys->key);
    }
    if (!AcceptsInput() || covered_) return;
    if (message->id == MSG_MOUSE_MOVE) mouse_mode = true;
    if (message->id == MSG_KEY) NavigateByKey(*static_cast<KeyMessage*>(message));
    // A button's click may change the scene or the map: hand the message to a snapshot.
    std::vector<std::shared_ptr<Button>> snapshot;
    for (auto& entry : buttons) snapshot.push_back(entry.second);
    for (auto& button : snapshot) button->HandleMessage(message);
}

void ButtonSystem::Update()
{
    covered_ = fade_hold_;
    fade_hold_ = false;
    if (buttons.empty() && selected) selected.reset();
    if (buttons.empty() || !GameIsRunning) return;
    // A menu appears (a scene's, the pause menu, a box): what is held now was pressed before it.
    if (!selected) {
        selected = buttons.begin()->second;
        NoteKeysDown();
    }
    if (covered_) {
        NoteKeysDown();
        activate_request = false;
    }
    std::vector<std::shared_ptr<Button>> snapshot;
    for (auto& entry : buttons) snapshot.push_back(entry.second);
    for (auto& button : snapshot) {
        if (IsLive(*button, true)) UpdateButton(*button);
    }
    mouse_mode = false;
}

void ButtonSystem::Select(Button& button)
{
    auto transform = button.owner ? button.owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    const float x = transform->position.x;
    const float y = transform->position.y;
    for (auto& [key, entry] : buttons) {
        if (key.y < y) break;
        if (key.x == x && key.y == y && entry.get() == &button) {
            selected = entry;
            return;
        }
    }
}

void ButtonSystem::Activate(Button& button, bool drop_selection)
{
    PaintActivated(button);
    AudioSystem::GetInstance()->PlaySelectedSFX();
    PrintLine("Button Clicked: " + button.owner->GetName());
    button.ready_timer = 0.0f;
    activate_request = false;
    if (drop_selection) selected.reset();
    if (!button.next_state.empty() && OrvStateMachine) OrvStateMachine->next_state = button.next_state;
}

void ButtonSystem::PlayHighlightOnce(Button& button)
{
    if (button.hover_timer >= Button::kReadyTime && !button.highlight_sound_played) {
        AudioSystem::GetInstance()->PlayHighlightedSFX();
        button.highlight_sound_played = true;
        button.hover_timer = 0.0f;
    }
}

void ButtonSystem::SetHighlight(Button& button, bool on)
{
    if (auto sprite = button.owner->GetComponent<Sprite>(SPRITE)) {
        if (!on) {
            sprite->is_tinted = false;
            button.highlight_sound_played = false;
            return;
        }
        Select(button);
        sprite->SetTint(kHighlight, true);
        PlayHighlightOnce(button);
        return;
    }
    auto text = button.owner->GetComponent<Text>(TEXT);
    if (!has_normal_text_colour) {
        normal_text_colour = text->GetColour();
        has_normal_text_colour = true;
    }
    if (!on) {
        text->SetColour(normal_text_colour);
        button.highlight_sound_played = false;
        return;
    }
    text->SetColour({kHighlight.x, kHighlight.y, kHighlight.z});
    Select(button);
    PlayHighlightOnce(button);
}

void ButtonSystem::UpdateButton(Button& button)
{
    if (!button.owner) return;
    button.hover_timer += FrameTime();
    auto sprite = button.owner->GetComponent<Sprite>(SPRITE);
    auto text = button.owner->GetComponent<Text>(TEXT);
    if (!sprite && !text) return;
    const Vec3& at = button.position;
    const bool hovered = mouse_mode && button.Contains({at.x, at.y}, {button.size.x, button.size.y},
                                                       {Input::Instance().world_x, Input::Instance().world_y});
    SetHighlight(button, hovered || selected.get() == &button);
    button.ready_timer += FrameTime();
    if (selected.get() == &button && activate_request && GameIsRunning && button.ready_timer >= Button::kReadyTime) {
        Activate(button, !sprite);
    }
}

} // namespace OrvEngine
