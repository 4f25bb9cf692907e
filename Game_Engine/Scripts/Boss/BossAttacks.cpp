// The boss's two attacks: enemy waves and boulder patterns, laid out from the teleport point the
// boss stands at so that they open into the arena, towards the other point.
#include "Scripts/Boss/BossScript.h"

#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Scripts/ScriptHelpers.h"

#include <string>
#include <vector>

using namespace OrvEngine;

namespace {
struct Offset {
    float dx;
    float dy;
};

// Boulders per pattern, along the direction d (-1 at home, +1 at far).
const std::vector<Offset>& BoulderPattern(int32_t pattern)
{
    static const std::vector<Offset> kPatterns[BossScript::kBoulderPatterns] = {
        {{0.0f, 1.0f}, {0.5f, 1.0f}, {1.0f, 1.0f}, {1.5f, 1.0f}},
        {{0.0f, 0.0f}, {0.5f, 0.0f}, {1.0f, 0.0f}, {1.5f, 0.0f}},
        {{0.0f, -1.0f}, {0.5f, -1.0f}, {1.0f, -1.0f}, {1.5f, -1.0f}},
        {{0.0f, 1.0f}, {0.5f, -1.0f}, {1.0f, 1.0f}, {1.5f, -1.0f}, {2.0f, 1.0f}},
        {{3.0f, 1.0f}},
    };
    return kPatterns[pattern];
}
} // namespace

void BossScript::SpawnAt(const std::string& prefab, float dx, float dy)
{
    // Without the boss's own position there is nowhere to lay the attack out.
    if (!transform) return;
    Entity* spawned = InstantiatePrefab(prefab);
    const Vec3 at = transform->position;
    if (spawned) PlaceSpawned(*spawned, Vec3(at.x + dx, at.y + dy, at.z));
}

void BossScript::SpawnEnemyWave(int32_t wave)
{
    const bool at_home = current_point == home_point;
    const bool at_far = !at_home && current_point == far_point;
    switch (wave) {
    case 0:
        if (at_home) SpawnAt("Atk_Enemy", -1.0f, 0.0f);
        else if (at_far) SpawnAt("Atk_Enemy", 1.0f, 0.0f);
        break;
    case 1:
        // Above and below the boss: the same on either side.
        SpawnAt("Spd_Enemy", 0.0f, 1.0f);
        SpawnAt("Atk_Enemy", 0.0f, -1.0f);
        break;
    case 2:
        SpawnAt("Spd_Enemy", 0.0f, 1.0f);
        SpawnAt("Spd_Enemy", 0.0f, -1.0f);
        break;
    case 3:
        // Mirrored in x only: above the boss at home, below it at far.
        if (at_home) SpawnAt("Def_Enemy", -3.0f, 1.0f);
        else if (at_far) SpawnAt("Def_Enemy", 3.0f, -1.0f);
        break;
    default:
        break;
    }
}

void BossScript::SpawnBoulderPattern(int32_t pattern)
{
    if (pattern < 0 || pattern >= kBoulderPatterns) return;
    float direction = 0.0f;
    if (current_point == home_point) direction = -1.0f;
    else if (current_point == far_point) direction = 1.0f;
    else return;
    for (const Offset& offset : BoulderPattern(pattern)) SpawnAt("Boulder_Prefab", offset.dx * direction, offset.dy);
}
