#include "Scripts/Level/SpawnerScript.h"

#include "Components/BoxCollider.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
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
    if (name == "Spawner_E2") return {{"Atk_Enemy", 5.0f, 2.0f}, {"Atk_Enemy", 6.0f, 1.0f}};
    if (name == "Spawner_E3") return {{"Def_Enemy", 3.0f, 2.0f}, {"Atk_Enemy", 5.0f, 1.5f}, {"Spd_Enemy", -5.0f, 1.5f}};
    return {};
}

// A spawned enemy stands at the offset; its box sits 1.0 below, at its feet.
void Place(Entity* spawned, const Vec3& origin, const SpawnEntry& entry)
{
    auto spawned_transform = spawned->GetComponent<Transform>(TRANSFORM);
    if (!spawned_transform) return;
    const Vec3 at(origin.x + entry.dx, origin.y + entry.dy, origin.z);
    spawned_transform->SetPosition(at);
    if (auto collider = spawned->GetComponent<BoxCollider>(BOXCOLLIDER)) {
        collider->SetPosition(Vec2(at.x, at.y - 1.0f));
        collider->UpdateBounds();
    }
}
} // namespace

void SpawnerScript::Init(Entity* entity)
{
    fired = false;
    transform = ComponentOf<Transform>(entity, TRANSFORM);
}

void SpawnerScript::OnCollision(Entity* self, Entity* other)
{
    if (!self || !other || other->name != "Player" || fired) return;
    const std::vector<SpawnEntry> group = GroupOf(self->name);
    if (group.empty()) return;
    // Without a Transform of its own the spawner leaves the enemies where their prefabs put them.
    for (const SpawnEntry& entry : group) {
        Entity* spawned = InstantiatePrefab(entry.prefab);
        if (spawned && transform) Place(spawned, transform->position, entry);
    }
    fired = true;
}
