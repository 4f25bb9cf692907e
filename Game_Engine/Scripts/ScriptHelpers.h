// Services the game scripts share: putting prefab instances into play (declared with the scene's
// spawning, Scene/Spawn.h), taking entities out of play, damage numbers (declared with the gameplay
// that uses them too, Logic/DamageNumbers.h), a bobbing value, the pause flag, depth by height and
// component look-ups that take a missing entity. They act on the current scene.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Logic/DamageNumbers.h"
#include "Scene/Spawn.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {

// Characters are drawn by height: z = kDepthBase - y, so whoever stands lower is drawn in front.
inline constexpr float kDepthBase = 100.0f;
// A character's blow lands this many frames before the end of its attack sheet.
inline constexpr int32_t kAttackFrameFromEnd = 2;

// Takes the entity out of the name index and destroys it through the current scene; null does nothing.
void DestroyEntity(Entity* entity);
// A bobbing value from 0 to amplitude: |sin(step * frequency)| with one process-wide step counter
// that advances 15 per call and wraps at 360, whoever calls.
float BobFactor(float frequency, float amplitude);
// True while the scene state machine holds the game paused.
bool IsPaused();
// The red a hurt character flashes: its strength bobs (BobFactor) between 0 and 1.
Vec4 HurtFlash();
// Stands a spawned enemy or boulder at `at`, with its box (when it has one) at its feet, 1.0 below.
void PlaceSpawned(Entity& spawned, const Vec3& at);

// The entity's component of the type; empty for a null entity or one without it.
template <class T>
std::shared_ptr<T> ComponentOf(const Entity* entity, int type)
{
    return entity ? entity->GetComponent<T>(type) : nullptr;
}
// The same for an entity kept by id: empty when the id names no live entity.
template <class T>
std::shared_ptr<T> ComponentOf(uint64_t id, int type)
{
    return ComponentOf<T>(FindLiveEntity(id), type);
}

} // namespace OrvEngine
