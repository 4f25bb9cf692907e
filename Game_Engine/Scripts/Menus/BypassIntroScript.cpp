#include "Scripts/Menus/BypassIntroScript.h"

#include "CoreEngine/Globals.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Menus/MenuInput.h"

using namespace OrvEngine;

namespace {
constexpr uint64_t kEscapeKey = 27;
constexpr uint64_t kSpaceKey = 32;
constexpr uint64_t kEnterKey = 13;
} // namespace

void BypassIntroScript::HandleMessage(Entity* entity, Message* message)
{
    (void)entity;
    // Only the first report of a press counts, so holding a key does not ask again.
    const bool clicked = MenuInput::IsButtonJustDown(message, 1) || MenuInput::IsButtonJustDown(message, 2);
    const bool keyed = MenuInput::IsKeyJustDown(message, kEscapeKey) || MenuInput::IsKeyJustDown(message, kSpaceKey) ||
                       MenuInput::IsKeyJustDown(message, kEnterKey);
    if ((clicked || keyed) && OrvStateMachine) OrvStateMachine->next_state = "MainMenuScene";
}
