// Small rules shared by the enemy, companion and boss components: clock reads, safe hit point
// arithmetic, the range test without rollback, and the state-texture rule. No state of its own.
#pragma once

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Math.h"
#include "Factory/EntityFactory.h"
#include "Scene/SceneStateMachine.h"

#include <cstdint>
#include <string>

namespace OrvEngine {

class Entity;
class IScene;
class Sprite;

namespace Gameplay {

using OrvEngine::CurrentScene;
using OrvEngine::FrameTime;
using OrvEngine::TotalTime;
inline Entity* LiveEntity(uint64_t id) { return FindLiveEntity(id); }
// The entity's id; 0 for none.
uint64_t IdOf(const Entity* entity);
// The Information tag; 0 without Information or entity.
uint32_t TagOf(const Entity* entity);

// Hit points kept as an unsigned maximum carry their sign (a negative hp stays recognisable).
uint64_t WidenHp(int32_t hp);
// hp / max as whole numbers: 1 at full health, 0 below it, and 0 unless both are positive.
int64_t HpQuotient(int64_t hp, uint64_t widened_max);
int64_t HpQuotient(int64_t hp, int64_t max);
// attack - defence truncated to a whole number; at least 1 (also for a result that is not a number).
int32_t Damage(float attack, float defence);
// hp - damage, never below 0.
int32_t LoseHp(int32_t hp, int32_t damage);
// hp + amount, never past the int's end.
int32_t GainHp(int32_t hp, int32_t amount);
// share x a maximum kept widened (WidenHp), truncated: a negative maximum counts as 0.
int32_t ShareOfMaxHp(uint64_t widened_max, float share);

// The way from self to other for a walk: from box centre to box centre when both have a box (boxes
// sit at different depths below their Transforms, and aiming one Transform at the other would send
// a box into the wall the other's box stands against); from `from` to `to` otherwise. Unit length.
Vec2 WalkDirection(const Entity* self, const Entity* other, const Vec2& from, const Vec2& to);
// The overlap test between the two entities' boxes, self first, without moving either body.
bool ContactTest(Entity* self, Entity* other);
// True when the Sprite has shown its last frame; a missing Sprite counts as finished.
bool AnimationFinished(const Sprite* sprite);
// The current frame has reached `frame`; a missing Sprite counts as there.
bool FrameReached(const Sprite* sprite, uint64_t frame);
// 0 gives 1; otherwise at most the owner Sprite's frame count (the frame itself without a Sprite).
uint64_t ClampAttackFrame(const Entity* owner, uint64_t frame);
// Shows `name` on the Sprite: nothing when it already shows it; an empty name re-applies the
// Sprite's own texture; otherwise the texture changes and the animation restarts at frame 1.
void ApplyStateTexture(Sprite& sprite, const std::string& name);
// Plays the event through the entity's Audio component when it has one.
void PlayEvent(Entity* entity, const std::string& event);

} // namespace Gameplay
} // namespace OrvEngine
