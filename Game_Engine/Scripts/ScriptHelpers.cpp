#include "Scripts/ScriptHelpers.h"

#include "CoreEngine/Globals.h"
#include "CoreEngine/SharedValues.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <cmath>
#include <cstdint>

namespace OrvEngine {

void DestroyEntity(Entity* entity)
{
    if (!entity) return;
    EntityFactory::GetInstance()->RemoveEntityName(entity);
    if (auto scene = CurrentScene()) scene->RemoveEntity(entity->id);
}

float BobFactor(float frequency, float amplitude)
{
    int32_t& counter = Shared().number_bob_counter;
    counter += 15;
    if (counter >= 360) counter = 0;
    return std::fabs(std::sin(static_cast<float>(counter) * frequency)) * amplitude;
}

bool IsPaused() { return OrvStateMachine && OrvStateMachine->paused; }

} // namespace OrvEngine
