#include "Scripts/Level/SceneQueries.h"

#include "Factory/Entity.h"
#include "Logic/GameplayRules.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

using namespace OrvEngine;

OrvEngine::Entity* FirstEntityOfType(uint32_t type)
{
    auto scene = CurrentScene();
    if (!scene) return nullptr;
    for (const auto& [id, entity] : scene->GetEntities()) {
        if (entity && Gameplay::TagOf(entity) == type) return entity;
    }
    return nullptr;
}

OrvEngine::Entity* LastEntityOfType(uint32_t type)
{
    auto scene = CurrentScene();
    if (!scene) return nullptr;
    const EntityMap entities = scene->GetEntities();
    for (auto it = entities.rbegin(); it != entities.rend(); ++it) {
        if (it->second && Gameplay::TagOf(it->second) == type) return it->second;
    }
    return nullptr;
}

void RequestLoseScene(OrvEngine::Entity* sound_owner, const std::string& death_sound, bool play_sound)
{
    if (play_sound) Gameplay::PlayEvent(sound_owner, death_sound);
    if (auto* machine = SceneStateMachine::GetInstance()) machine->ChangeState(kLoseScene);
}
