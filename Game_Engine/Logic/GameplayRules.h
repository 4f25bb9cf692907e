// Small rules shared by the enemy, companion and boss components: clock reads, safe hit point
// arithmetic, the range test without rollback, and the state-texture rule. No state of its own.
#pragma once

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Math.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Scene/SceneStateMachine.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class Sprite;
class Stats;

namespace Gameplay {

using OrvEngine::CurrentScene;
using OrvEngine::FrameTime;
using OrvEngine::TotalTime;
inline Entity* LiveEntity(uint64_t id) { return FindLiveEntity(id); }
// The entity's id; 0 for none.
uint64_t IdOf(const Entity* entity);
// The Information tag; 0 without Information or entity.
using OrvEngine::TagOf;

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
// Keeps the owner's Stats, and their hp widened as max_hp; nothing changes without them.
void CacheStats(const Entity* owner, std::shared_ptr<Stats>& stats, uint64_t& max_hp);

// The way from self to other for a walk: from box centre to box centre when both have a box (boxes
// sit at different depths below their Transforms, and aiming one Transform at the other would send
// a box into the wall the other's box stands against); from `from` to `to` otherwise. Unit length.
Vec2 WalkDirection(const Entity* self, const Entity* other, const Vec2& from, const Vec2& to);
// The Transform positions of self into own and of other into target; a missing one is left as it was.
void RecordPositions(const Entity* self, const Entity* other, Vec2& own, Vec2& target);
// The overlap test between the two entities' boxes, self first, without moving either body.
bool ContactTest(Entity* self, Entity* other);
// True when the Sprite has shown its last frame; a missing Sprite counts as finished.
bool AnimationFinished(const Sprite* sprite);
// The current frame has reached `frame`; a missing Sprite counts as there.
bool FrameReached(const Sprite* sprite, uint64_t frame);
// One frame of an attack swing. The blow lands when the target is in reach, the cooldown since
// last_attack_time has passed and the sheet has reached attack_frame; otherwise the swing ends with
// its animation, which sets last_attack_time to now.
enum class Swing { Goes, Lands, Ends };
Swing SwingStep(const Sprite* sprite, bool in_reach, float& last_attack_time, float cooldown, uint64_t attack_frame);
// 0 gives 1; otherwise at most the owner Sprite's frame count (the frame itself without a Sprite).
uint64_t ClampAttackFrame(const Entity* owner, uint64_t frame);
// Shows `name` on the Sprite: nothing when it already shows it; an empty name re-applies the
// Sprite's own texture; otherwise the texture changes and the animation restarts at frame 1.
void ApplyStateTexture(Sprite& sprite, const std::string& name);
// A state's sheet: animated at `speed`, once or looping, showing `name` (ApplyStateTexture). A
// frame count above 0 replaces the Sprite's own.
void ShowStateSheet(Sprite& sprite, const std::string& name, float speed, bool once, int32_t frames = 0);
// Plays the event through the entity's Audio component when it has one.
void PlayEvent(Entity* entity, const std::string& event);
// Plays footstep `prefix`1 to 6, never the last one again, when the entity has Audio and `timer`
// has run out; then `timer` is set to `pause`. The number is drawn even when nothing plays.
void PlayFootstep(Entity* entity, const std::string& prefix, uint64_t& last, float& timer, float pause);

} // namespace Gameplay
} // namespace OrvEngine
