#include "Logic/GameplayRules.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Physics/CollisionCheck.h"
#include "Physics/Manifold.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace OrvEngine {
namespace Gameplay {

uint64_t IdOf(const Entity* entity) { return entity ? entity->id : 0; }

uint32_t TagOf(const Entity* entity)
{
    auto info = entity ? entity->GetComponent<Information>(INFORMATION) : nullptr;
    return info ? info->GetType() : 0;
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

void PlayEvent(Entity* entity, const std::string& event)
{
    auto audio = entity ? entity->GetComponent<Audio>(AUDIO) : nullptr;
    if (audio) AudioSystem::GetInstance()->PlayEvent(*audio, event);
}

} // namespace Gameplay
} // namespace OrvEngine
