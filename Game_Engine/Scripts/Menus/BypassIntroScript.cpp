#include "Scripts/Menus/BypassIntroScript.h"

#include "CoreEngine/Globals.h"
#include "Platform/Platform.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Menus/MenuInput.h"

using namespace OrvEngine;

void BypassIntroScript::HandleMessage(Entity*, Message* message)
{
    // Only the first report of a press counts, so holding a key does not ask again.
    const bool clicked = MenuInput::IsButtonJustDown(message, 1) || MenuInput::IsButtonJustDown(message, 2);
    const bool keyed = MenuInput::IsKeyJustDown(message, Platform::VK_ESCAPE_KEY) ||
                       MenuInput::IsKeyJustDown(message, Platform::VK_SPACE_KEY) ||
                       MenuInput::IsKeyJustDown(message, Platform::VK_RETURN_KEY);
    if ((clicked || keyed) && OrvStateMachine) OrvStateMachine->next_state = "MainMenuScene";
}
