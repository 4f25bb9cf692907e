#include "Graphics/ButtonSystem.h"

#include "Components/Button.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Platform/Platform.h"

#include <iterator>
#include <vector>

namespace OrvEngine {

namespace {
// The entity is active and, when it has Information, that is active too.
bool IsLive(const Button& button, bool require_information)
{
    Entity* owner = button.owner;
    if (!owner || !owner->active) return false;
    auto info = owner->GetComponent<Information>(INFORMATION);
    if (!info) return !require_information;
    return info->IsActive();
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

void ButtonSystem::HandleMessage(Message* message)
{
    if (!AcceptsInput()) return;
    if (message->id == MSG_MOUSE_MOVE) mouse_mode = true;
    if (message->id == MSG_KEY) {
        // Only the message's own key-down counts, so another key's message never repeats a move.
        auto* keys = static_cast<KeyMessage*>(message);
        static const uint64_t kPrevious[] = {Platform::VK_UP_KEY, Platform::VK_LEFT_KEY, 'W', 'A'};
        static const uint64_t kNext[] = {Platform::VK_DOWN_KEY, Platform::VK_RIGHT_KEY, 'S', 'D'};
        bool acted = false;
        for (uint64_t key : kPrevious) {
            if (!acted && keys->IsOwnPress(key)) {
                SelectPrevious();
                acted = true;
            }
        }
        for (uint64_t key : kNext) {
            if (!acted && keys->IsOwnPress(key)) {
                SelectNext();
                acted = true;
            }
        }
        if (!acted && keys->IsOwnPress(Platform::VK_RETURN_KEY) && selected) activate_request = true;
    }
    // A button's click may change the scene or the map: hand the message to a snapshot.
    std::vector<std::shared_ptr<Button>> snapshot;
    for (auto& entry : buttons) snapshot.push_back(entry.second);
    for (auto& button : snapshot) button->HandleMessage(message);
}

void ButtonSystem::Update()
{
    if (buttons.empty() && selected) selected.reset();
    if (buttons.empty() || !GameIsRunning) return;
    if (!selected) selected = buttons.begin()->second;
    std::vector<std::shared_ptr<Button>> snapshot;
    for (auto& entry : buttons) snapshot.push_back(entry.second);
    for (auto& button : snapshot) {
        if (IsLive(*button, true)) button->Update();
    }
    mouse_mode = false;
}

} // namespace OrvEngine
