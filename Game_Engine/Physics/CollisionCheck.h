// The box pair test: the game's exclusion rules, the overlap measure that fills a Manifold, and the
// rollback of movable bodies on an overlap. Holds no state; the collision pass and the movement
// code call it.
#pragma once

#include "Physics/Manifold.h"

#include <cstdint>

namespace OrvEngine {

class BoxCollider;
class Entity;

// What the pair test reads of one entity. The collision pass gathers these once per pass;
// `entity` and `collider` are valid only while the pass (or the caller) holds them.
struct PairSide {
    Entity* entity = nullptr;
    BoxCollider* collider = nullptr;  // null when the entity has no BoxCollider
    uint32_t tag = 0;                 // Information type; 0 when the entity has no Information
    bool name_has_bound = false;      // the entity's name contains "Bound"
    bool name_has_barrier = false;    // ... "Barrier"
    bool name_is_player = false;      // the name is "Player"
    bool name_is_enemy = false;       // the name is "Enemy"
};

// Gathers one side; a null entity gives an empty side.
PairSide MakePairSide(Entity* entity);
// True while the current scene is "GameScene_01", where "Player" against "Enemy" counts touching boxes.
bool IsCornerRuleScene();

// The pair test on gathered sides (both colliders present). Fills penetration and normal when it
// measures an overlap; with roll_back, movable solid bodies go back to their position before the
// step, unless the step did not deepen the penetration.
bool TestBoxPair(const PairSide& a, const PairSide& b, bool corner_scene, Manifold& manifold, bool roll_back);

// The pair test on the live entities named by the manifold, with rollback. False when either
// entity is gone or has no BoxCollider.
bool CheckAABBCollision(Manifold& manifold);
// The same test without any rollback: bodies and Transforms are left alone. For range and
// contact checks of movement code.
bool OverlapAABB(Manifold& manifold);

} // namespace OrvEngine
