#include "Scripts/Menus/OptionMenuScript.h"

#include "Components/Button.h"
#include "CoreEngine/Globals.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Scripts/Menus/MenuInput.h"

using namespace OrvEngine;

void OptionMenuScript::Init(Entity* entity) { InitToggles(entity); }

void OptionMenuScript::Update(Entity* entity)
{
    CacheComponents(entity);
    if (!button || !information || !MenuInput::IsPressed(button)) return;
    if (RoleName() == EntityNames::kMuteMusicButton) ToggleMuteBGM();
    else if (RoleName() == EntityNames::kMuteEffectsButton) ToggleMuteSFX();
}

void OptionMenuScript::HandleMessage(Entity* entity, Message* message)
{
    CacheComponents(entity);
    if (!MenuInput::IsButtonJustDown(message, 1) || !button || !information || !button->IsMouseOver()) return;
    if (RoleName() == EntityNames::kMuteMusicButton && GameIsRunning) ToggleMuteBGM();
    else if (RoleName() == EntityNames::kMuteEffectsButton && GameIsRunning) ToggleMuteSFX();
}
