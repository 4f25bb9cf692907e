#include "Scripts/Level/SceneQueries.h"

#include "Factory/Entity.h"
#include "Logic/GameplayRules.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

using namespace OrvEngine;

OrvEngine::Entity* FindEntityByName(const std::string& name)
{
    auto scene = CurrentScene();
    return scene ? scene->FindEntityByName(name) : nullptr;
}

OrvEngine::Entity* FirstEntityOfType(uint32_t type)
{
    auto scene = CurrentScene();
    return scene ? scene->FirstEntityOfType(type) : nullptr;
}

OrvEngine::Entity* LastEntityOfType(uint32_t type)
{
    auto scene = CurrentScene();
    return scene ? scene->LastEntityOfType(type) : nullptr;
}

void RequestLoseScene(OrvEngine::Entity* sound_owner, const std::string& death_sound, bool play_sound)
{
    if (play_sound) Gameplay::PlayEvent(sound_owner, death_sound);
    if (auto* machine = SceneStateMachine::GetInstance()) machine->ChangeState(kLoseScene);
}
