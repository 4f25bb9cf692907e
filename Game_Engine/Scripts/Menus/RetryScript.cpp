#include "Scripts/Menus/RetryScript.h"

#include "Components/Button.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Graphics/ButtonSystem.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Menus/MenuInput.h"

using namespace OrvEngine;

void RetryScript::Init(Entity* entity) { button = entity->GetComponent<Button>(BUTTON); }

void RetryScript::Update(Entity* entity)
{
    if (!button) button = entity->GetComponent<Button>(BUTTON);
    if (MenuInput::IsPressed(button)) Retry();
}

void RetryScript::HandleMessage(Entity* entity, Message* message)
{
    (void)entity;
    // A click counts only once the screen has faded in, as the keys do.
    if (MenuInput::IsMouseButtonMessage(message) && button && ButtonSystem::GetInstance()->IsShown() &&
        button->IsMouseOver()) {
        Retry();
    }
}

void RetryScript::Retry()
{
    if (!OrvStateMachine) return;
    const std::string previous = OrvStateMachine->previous_scene;
    // Without a scene to go back to (the game started here) the button does nothing; "Exit game"
    // was never a scene, and retrying must not quit.
    if (!previous.empty() && previous != "Exit game") OrvStateMachine->next_state = previous;
    MenuInput::ClearPress();
}
