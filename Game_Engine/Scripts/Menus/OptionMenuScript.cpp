#include "Scripts/Menus/OptionMenuScript.h"

#include "Components/Button.h"
#include "CoreEngine/Globals.h"
#include "Factory/Information.h"
#include "Scripts/Menus/MenuInput.h"

using namespace OrvEngine;

void OptionMenuScript::Init(Entity* entity) { InitToggles(entity); }

void OptionMenuScript::Update(Entity* entity)
{
    CacheComponents(entity);
    if (!button || !information || !MenuInput::IsPressed(button)) return;
    if (RoleName() == "ToggleMuteBGM") ToggleMuteBGM();
    else if (RoleName() == "ToggleMuteSFX") ToggleMuteSFX();
}

void OptionMenuScript::HandleMessage(Entity* entity, Message* message)
{
    CacheComponents(entity);
    if (!MenuInput::IsButtonJustDown(message, 1) || !button || !information || !button->IsMouseOver()) return;
    if (RoleName() == "ToggleMuteBGM" && GameIsRunning) ToggleMuteBGM();
    else if (RoleName() == "ToggleMuteSFX" && GameIsRunning) ToggleMuteSFX();
}
