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
// Shows value as digit entities ("NumberPrefab", texture "UI_Num_<digit>") beside the target,
// 0.1 apart along x, most significant digit first; 0 or less shows nothing.
void SpawnDamageNumber(int value, Entity* target);
// A bobbing value from 0 to amplitude: |sin(step * frequency)| with one process-wide step counter
// that advances 15 per call and wraps at 360, whoever calls.
float BobFactor(float frequency, float amplitude);

} // namespace OrvEngine
