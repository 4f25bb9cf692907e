#include "Scripts/Menus/MenuInput.h"

#include "CoreEngine/Message.h"
#include "Graphics/ButtonSystem.h"

using namespace OrvEngine;

namespace MenuInput {

bool IsPressed(const std::shared_ptr<Button>& button)
{
    ButtonSystem* system = ButtonSystem::GetInstance();
    return button && system->selected == button && system->activate_request;
}

void ClearPress()
{
    ButtonSystem* system = ButtonSystem::GetInstance();
    system->selected.reset();
    system->activate_request = false;
}

void ClearActivation() { ButtonSystem::GetInstance()->activate_request = false; }

bool IsMouseButtonMessage(Message* message) { return message && message->id == MSG_MOUSE_BUTTON; }

bool IsButtonJustDown(Message* message, uint32_t mouse_button)
{
    if (!IsMouseButtonMessage(message)) return false;
    const auto& buttons = static_cast<MouseMessage*>(message)->buttons;
    auto state = buttons.find(mouse_button);
    return state != buttons.end() && state->second == 1;
}

bool IsKeyJustDown(Message* message, uint64_t key)
{
    if (!message || message->id != MSG_KEY) return false;
    return static_cast<KeyMessage*>(message)->IsKeyTriggeredConst(key);
}

} // namespace MenuInput
