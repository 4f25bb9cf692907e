#include "Scripts/Hazards/PoisonFloorScript.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Scripts/Level/LevelManagerScript.h"

using namespace OrvEngine;

namespace {
const char* const kLoop = "SFX_EO_Poison";
}

void PoisonFloorScript::Update(Entity* entity)
{
    if (!entity) return;
    level_manager.Find();
    if (!transform) {
        transform = entity->GetComponent<Transform>(TRANSFORM);
        return;
    }
    LevelManagerScript* manager = level_manager.Get();
    if (!manager) return;
    const bool in_view = manager->IsOnScreen(transform->position.x);
    auto audio = entity->GetComponent<Audio>(AUDIO);
    if (!in_view && playing) {
        if (audio) AudioSystem::GetInstance()->StopEvent(*audio, kLoop);
        playing = false;
    } else if (in_view && !playing) {
        if (audio) {
            AudioSystem::GetInstance()->PlayEvent(*audio, kLoop);
            AudioSystem::GetInstance()->SetLoop(*audio, kLoop);
        }
        playing = true;
    }
}
