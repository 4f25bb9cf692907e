// Services the game scripts share: putting prefab instances into play, taking entities out of
// play, and damage numbers. They act on the current scene; without one nothing is made.
#pragma once

#include <string>

namespace OrvEngine {

class Entity;

// An entity made from the prefab, in the current scene and the systems and listed by name; null
// when the prefab is unknown, there is no current scene, or its script removed it again in Init.
Entity* InstantiatePrefab(const std::string& prefab_name);
// Takes the entity out of the name index and destroys it through the current scene; null does nothing.
void DestroyEntity(Entity* entity);
// Shows value as digit entities ("NumberPrefab", texture "UI_Num_<digit>") on a rising diagonal
// beside the target, most significant digit first: digit i at (x + 0.1 i, y + offset + 0.1 i, z + 5),
// the offset -1 for targets whose Information name begins "De", "A" or "S" (the enemies), else 0.
// 0 or less, or a target without a Transform, shows nothing.
void SpawnDamageNumber(int value, Entity* target);
// The same for the value truncated toward zero (12.99 shows 1 and 2; below 1 nothing).
void SpawnDamageNumber(float value, Entity* target);
// A bobbing value from 0 to amplitude: |sin(step * frequency)| with one process-wide step counter
// that advances 15 per call and wraps at 360, whoever calls.
float BobFactor(float frequency, float amplitude);

} // namespace OrvEngine
