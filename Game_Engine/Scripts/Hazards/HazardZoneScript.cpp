#include "Scripts/Hazards/HazardZoneScript.h"

#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Physics/CollisionSystem.h"
#include "Platform/Platform.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr float kMinDelay = 0.1f;
constexpr float kRandomTop = 32767.0f;
// A ring's box sits this share of the ring's height below its centre.
constexpr float kRingBoxDrop = 0.25f;

// A value from lo to hi (both reachable) from one draw of the 15-bit generator, in floats.
float Draw(float lo, float hi)
{
    const float r = static_cast<float>(Platform::Random15());
    return r / (kRandomTop / (hi - lo)) + lo;
}
} // namespace

void HazardZoneScript::Init(Entity* entity)
{
    if (!entity) return;
    transform = entity->GetComponent<Transform>(TRANSFORM);
    collider = entity->GetComponent<BoxCollider>(BOXCOLLIDER);
    const Kind kind = GetKind();
    max_delay = kind.max_delay;
    ring_count = kind.ring_count;
    if (Entity* found = FindEntityByName(EntityNames::kPlayer)) {
        player = found->id;
        player_found = true;
    }
    timer = 0.0f;
    // The zone is the entity's own rectangle.
    if (collider && transform) {
        collider->SetPosition(transform->GetPosition2D());
        collider->SetSize(Vec2(transform->scale.x, transform->scale.y));
        collider->UpdateBounds();
    }
    rings_left = ring_count;
    armed = false;
    delays.assign(static_cast<size_t>(ring_count > 0 ? ring_count : 0), 0.0f);
}

void HazardZoneScript::OnCollision(Entity* self, Entity* other)
{
    (void)self;
    (void)other;
    if (armed || IsPaused()) return;
    if (rings_left == ring_count) {
        for (float& delay : delays) delay = Draw(kMinDelay, max_delay);
    }
    armed = true;
}

// The collision system's latest pass holds the zone and the player as a pair (compared by id).
bool HazardZoneScript::PlayerInside(uint64_t zone) const
{
    for (const Manifold& pair : CollisionSystem::GetInstance()->GetContacts()) {
        if ((pair.entity_a == zone && pair.entity_b == player) || (pair.entity_a == player && pair.entity_b == zone)) {
            return true;
        }
    }
    return false;
}

void HazardZoneScript::Update(Entity* entity)
{
    if (!entity || player == 0 || !PlayerInside(entity->id) || IsPaused()) return;
    timer += FrameTime();
    if (armed && ring_count >= 1) {
        for (float& delay : delays) {
            if (delay != 0.0f && timer >= delay) {
                SpawnRing();
                delay = 0.0f;
            }
        }
    }
    if (rings_left <= 0) {
        rings_left = ring_count;
        timer = 0.0f;
        armed = false;
    }
}

void HazardZoneScript::SpawnRing()
{
    const Kind kind = GetKind();
    Entity* ring = InstantiatePrefab(kind.prefab);
    --rings_left;
    spawned = ring ? ring->id : 0;
    if (!ring) return;
    if (auto sprite = ring->GetComponent<Sprite>(SPRITE)) {
        sprite->SetTexture(kind.ring_texture);
        sprite->SetIsSpritesheet(false);
    }
    auto ring_transform = ring->GetComponent<Transform>(TRANSFORM);
    auto ring_collider = ring->GetComponent<BoxCollider>(BOXCOLLIDER);
    if (!ring_transform || !ring_collider || !collider) return;
    const Vec2 lo = collider->GetMin();
    const Vec2 hi = collider->GetMax();
    const float h = ring_transform->scale.y;
    // The ring's lower edge lands between the zone's bottom and top edges.
    const float x = Draw(lo.x, hi.x);
    const float y = Draw(lo.y + 0.5f * h, hi.y + 0.5f * h);
    ring_transform->position.x = x;
    ring_transform->position.y = y;
    ring_collider->SetPosition(Vec2(x, y - kRingBoxDrop * h));
    ring_collider->UpdateBounds();
}
