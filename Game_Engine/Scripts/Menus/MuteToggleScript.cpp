#include "Scripts/Menus/MuteToggleScript.h"

#include "Audio/AudioSystem.h"
#include "Components/Button.h"
#include "Components/Sprite.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Scripts/Menus/MenuInput.h"

using namespace OrvEngine;

void MuteToggleScript::CacheComponents(Entity* entity)
{
    if (!button) button = entity->GetComponent<Button>(BUTTON);
    if (!information) information = entity->GetComponent<Information>(INFORMATION);
    if (!sprite) sprite = entity->GetComponent<Sprite>(SPRITE);
}

const std::string& MuteToggleScript::RoleName() const
{
    static const std::string none;
    return information ? information->name : none;
}

void MuteToggleScript::InitToggles(Entity* entity)
{
    AudioSystem* audio = AudioSystem::GetInstance();
    bgm_muted = audio->GetBGMVolume() == 0.0f;
    sfx_muted = audio->GetGroupMute(audio->sfx_group);
    CacheComponents(entity);
    if (!information || !sprite) return;
    if (RoleName() == EntityNames::kMuteMusicButton) sprite->SetTexture(bgm_muted ? "BGMUntick" : "BGMTick");
    else if (RoleName() == EntityNames::kMuteEffectsButton) sprite->SetTexture(sfx_muted ? "SFXUntick" : "SFXTick");
}

void MuteToggleScript::ToggleMuteBGM()
{
    bgm_muted = !bgm_muted;
    AudioSystem::GetInstance()->SetBGMVolume(bgm_muted ? 0.0f : 1.0f);
    if (sprite) sprite->SetTexture(bgm_muted ? "BGMUntick" : "BGMTick");
    MenuInput::ClearActivation();
}

void MuteToggleScript::ToggleMuteSFX()
{
    sfx_muted = !sfx_muted;
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->SetGroupMute(audio->sfx_group, sfx_muted);
    if (sprite) sprite->SetTexture(sfx_muted ? "SFXUntick" : "SFXTick");
    MenuInput::ClearActivation();
}
