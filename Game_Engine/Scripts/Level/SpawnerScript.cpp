#include "Scripts/Level/SpawnerScript.h"

#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Scripts/ScriptHelpers.h"

#include <string>
#include <vector>

using namespace OrvEngine;

namespace {
struct SpawnEntry {
    const char* prefab;
    float dx;
    float dy;
};

// The group of a spawner name; empty for names that spawn nothing.
std::vector<SpawnEntry> GroupOf(const std::string& name)
{
    if (name == EntityNames::kSpawnerE2) return {{"Atk_Enemy", 5.0f, 2.0f}, {"Atk_Enemy", 6.0f, 1.0f}};
    if (name == EntityNames::kSpawnerE3) {
        return {{"Def_Enemy", 3.0f, 2.0f}, {"Atk_Enemy", 5.0f, 1.5f}, {"Spd_Enemy", -5.0f, 1.5f}};
    }
    return {};
}
} // namespace

void SpawnerScript::Init(Entity* entity)
{
    fired = false;
    transform = ComponentOf<Transform>(entity, TRANSFORM);
}

void SpawnerScript::OnCollision(Entity* self, Entity* other)
{
    if (!self || !other || other->name != EntityNames::kPlayer || fired) return;
    const std::vector<SpawnEntry> group = GroupOf(self->name);
    if (group.empty()) return;
    // Without a Transform of its own the spawner leaves the enemies where their prefabs put them.
    for (const SpawnEntry& entry : group) {
        Entity* spawned = InstantiatePrefab(entry.prefab);
        if (!spawned || !transform) continue;
        const Vec3 origin = transform->position;
        PlaceSpawned(*spawned, Vec3(origin.x + entry.dx, origin.y + entry.dy, origin.z));
    }
    fired = true;
}
