// Services the game scripts share: putting prefab instances into play (declared with the scene's
// spawning, Scene/Spawn.h), taking entities out of play, damage numbers (declared with the gameplay
// that uses them too, Logic/DamageNumbers.h) and a bobbing value. They act on the current scene.
#pragma once

#include "Logic/DamageNumbers.h"
#include "Scene/Spawn.h"

namespace OrvEngine {

class Entity;

// Takes the entity out of the name index and destroys it through the current scene; null does nothing.
void DestroyEntity(Entity* entity);
// A bobbing value from 0 to amplitude: |sin(step * frequency)| with one process-wide step counter
// that advances 15 per call and wraps at 360, whoever calls.
float BobFactor(float frequency, float amplitude);

} // namespace OrvEngine
