// Manifold: the record of one tested pair of box colliders. It names the entities by id, never by
// pointer, so a record kept past the collision pass reads a destroyed entity as "not found"
// (resolve with EntityFactory::GetLiveEntity).
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Entity.h"

#include <cstdint>

namespace OrvEngine {

struct Manifold {
    Manifold() = default;
    Manifold(uint64_t a, uint64_t b) : entity_a(a), entity_b(b) {}
    // Null entities give id 0, which never resolves.
    Manifold(const Entity* a, const Entity* b) : entity_a(a ? a->id : 0), entity_b(b ? b->id : 0) {}

    uint64_t entity_a = 0;   // A: owner of the earlier collider of the pair
    uint64_t entity_b = 0;   // B: owner of the later collider
    float penetration = 0.0f;  // overlap along the normal, 0 until measured
    Vec2 normal;               // unit axis from A towards B, (0, 0) until measured
};

} // namespace OrvEngine
