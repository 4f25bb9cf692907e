#include "Logic/GameplayRules.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Physics/CollisionCheck.h"
#include "Physics/Manifold.h"

#include <algorithm>
#include <limits>

namespace OrvEngine {
namespace Gameplay {

uint64_t IdOf(const Entity* entity) { return entity ? entity->id : 0; }

void CacheStats(const Entity* owner, std::shared_ptr<Stats>& stats, uint64_t& max_hp)
{
    auto own = owner ? owner->GetComponent<Stats>(STATS) : nullptr;
    if (!own) return;
    stats = own;
    max_hp = WidenHp(own->hp);
}

uint64_t WidenHp(int32_t hp) { return static_cast<uint64_t>(static_cast<int64_t>(hp)); }

int64_t HpQuotient(int64_t hp, int64_t max) { return hp > 0 && max > 0 ? hp / max : 0; }

int64_t HpQuotient(int64_t hp, uint64_t widened_max) { return HpQuotient(hp, static_cast<int64_t>(widened_max)); }

int32_t Damage(float attack, float defence)
{
    const float raw = attack - defence;
    if (!(raw >= 1.0f)) return 1;
    if (raw >= static_cast<float>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(raw);
}

int32_t LoseHp(int32_t hp, int32_t damage)
{
    const int64_t left = static_cast<int64_t>(hp) - damage;
    return left < 0 ? 0 : static_cast<int32_t>(std::min<int64_t>(left, std::numeric_limits<int32_t>::max()));
}

int32_t GainHp(int32_t hp, int32_t amount)
{
    const int64_t sum = static_cast<int64_t>(hp) + amount;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int32_t ShareOfMaxHp(uint64_t widened_max, float share)
{
    const int64_t max = std::max<int64_t>(static_cast<int64_t>(widened_max), 0);
    return std::max(TruncateToInt(static_cast<float>(max) * share), 0);
}

Vec2 WalkDirection(const Entity* self, const Entity* other, const Vec2& from, const Vec2& to)
{
    auto own_box = self ? self->GetComponent<BoxCollider>(BOXCOLLIDER) : nullptr;
    auto other_box = other ? other->GetComponent<BoxCollider>(BOXCOLLIDER) : nullptr;
    if (own_box && other_box) return Vec2::Normalize(other_box->GetCentre() - own_box->GetCentre());
    return Vec2::Normalize(to - from);
}

bool ContactTest(Entity* self, Entity* other)
{
    if (!self || !other) return false;
    Manifold contact(self, other);
    auto own = self->GetComponent<Transform>(TRANSFORM);
    auto theirs = other->GetComponent<Transform>(TRANSFORM);
    if (own && theirs) {
        const Vec2 d = Vec2::Normalize(theirs->GetPosition2D() - own->GetPosition2D());
        contact.normal = Vec2(-d.y, d.x);
    }
    return OverlapAABB(contact);
}

bool AnimationFinished(const Sprite* sprite) { return !sprite || sprite->current_frame >= sprite->number_of_frames; }

bool FrameReached(const Sprite* sprite, uint64_t frame)
{
    if (!sprite) return true;
    return sprite->current_frame >= 0 && static_cast<uint64_t>(sprite->current_frame) >= frame;
}

uint64_t ClampAttackFrame(const Entity* owner, uint64_t frame)
{
    if (frame == 0) return 1;
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite) return frame;
    const uint64_t frames = static_cast<uint64_t>(std::max<int32_t>(sprite->number_of_frames, 0));
    return std::min(frame, frames);
}

void ApplyStateTexture(Sprite& sprite, const std::string& name)
{
    if (sprite.tex_identifier == name) return;
    if (name.empty()) {
        const std::string own = sprite.tex_identifier;
        sprite.SetTexture(own);
        return;
    }
    sprite.SetTexture(name);
    sprite.current_frame = 1;
}

Swing SwingStep(const Sprite* sprite, bool in_reach, float& last_attack_time, float cooldown, uint64_t attack_frame)
{
    const float now = TotalTime();
    if (in_reach && now - last_attack_time >= cooldown && FrameReached(sprite, attack_frame)) return Swing::Lands;
    if (!AnimationFinished(sprite)) return Swing::Goes;
    last_attack_time = now;
    return Swing::Ends;
}

void RecordPositions(const Entity* self, const Entity* other, Vec2& own, Vec2& target)
{
    auto own_transform = self ? self->GetComponent<Transform>(TRANSFORM) : nullptr;
    auto other_transform = other ? other->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (own_transform) own = own_transform->GetPosition2D();
    if (other_transform) target = other_transform->GetPosition2D();
}

void ShowStateSheet(Sprite& sprite, const std::string& name, float speed, bool once, int32_t frames)
{
    sprite.SetIsSpritesheet(true);
    if (frames > 0) sprite.number_of_frames = frames;
    sprite.spritesheet_speed = speed;
    sprite.play_once = once;
    ApplyStateTexture(sprite, name);
}

void PlayEvent(Entity* entity, const std::string& event)
{
    auto audio = entity ? entity->GetComponent<Audio>(AUDIO) : nullptr;
    if (audio) AudioSystem::GetInstance()->PlayEvent(*audio, event);
}

void PlayFootstep(Entity* entity, const std::string& prefix, uint64_t& last, float& timer, float pause)
{
    constexpr int kFootstepSounds = 6;
    auto n = static_cast<uint64_t>(RandomRange(1, kFootstepSounds));
    while (n == last) n = static_cast<uint64_t>(RandomRange(1, kFootstepSounds));
    if (!entity || !entity->GetComponent(AUDIO) || timer > 0.0f) return;
    PlayEvent(entity, prefix + std::to_string(n));
    last = n;
    timer = pause;
}

} // namespace Gameplay
} // namespace OrvEngine
