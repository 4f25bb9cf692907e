#include "Physics/CollisionCheck.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Transform.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <algorithm>
#include <cmath>

namespace OrvEngine {

namespace {
struct Overlap {
    float x = 0.0f;
    float y = 0.0f;
    float dx = 0.0f;
    float dy = 0.0f;
    bool Positive() const { return x > 0.0f && y > 0.0f; }
    // How far apart the boxes must move to separate; negative while they are apart.
    float Depth() const { return std::min(x, y); }
};

Overlap Measure(const BoxCollider& a, const Vec2& shift_a, const BoxCollider& b, const Vec2& shift_b)
{
    const Vec2 ca = a.GetCentre() + shift_a;
    const Vec2 cb = b.GetCentre() + shift_b;
    const Vec2 ea = a.GetMax() - a.GetMin();
    const Vec2 eb = b.GetMax() - b.GetMin();
    Overlap o;
    o.dx = cb.x - ca.x;
    o.dy = cb.y - ca.y;
    o.x = ea.x * 0.5f + eb.x * 0.5f - std::fabs(o.dx);
    o.y = ea.y * 0.5f + eb.y * 0.5f - std::fabs(o.dy);
    return o;
}

bool Excluded(const PairSide& a, const PairSide& b)
{
    const bool a_range = a.tag == TAG_RANGE_ATTACK;
    const bool b_range = b.tag == TAG_RANGE_ATTACK;
    if ((a_range && b.name_has_bound) || (b_range && a.name_has_bound)) return true;
    if (a_range && b_range) return true;
    return (a_range && b.name_has_barrier) || (b_range && a.name_has_barrier);
}

bool CornersTouch(const BoxCollider& a, const BoxCollider& b)
{
    const Vec2 amin = a.GetMin();
    const Vec2 amax = a.GetMax();
    const Vec2 bmin = b.GetMin();
    const Vec2 bmax = b.GetMax();
    return !(bmin.x > amax.x || amin.x > bmax.x || bmin.y > amax.y || amin.y > bmax.y);
}

// Where a box will sit after its next update when its Transform is at `at`: a following box
// moves by the Transform's movement since it last looked.
Vec2 ProjectedShift(const BoxCollider& collider, const Vec2& at)
{
    if (!collider.following_transform || !collider.follow_started) return Vec2();
    return at - collider.last_transform_position;
}

// One side of a rollback: the body when the rollback applies to it (movable, and solid unless the
// other side is unphasable), and where its box goes with and without the rollback.
struct RollbackSide {
    RigidBody2D* body = nullptr;
    std::shared_ptr<Transform> transform;
    Vec2 shift_kept;
    Vec2 shift_back;
};

RollbackSide PrepareRollback(const PairSide& self, const PairSide& other)
{
    RollbackSide side;
    side.transform = self.entity ? self.entity->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!side.transform) return side;
    side.shift_kept = ProjectedShift(*self.collider, side.transform->GetPosition2D());
    side.shift_back = side.shift_kept;
    RigidBody2D* body = self.collider->body.get();
    if (!body || body->IsStatic()) return side;
    if (self.collider->is_trigger && !other.collider->is_unphasable) return side;
    side.body = body;
    side.shift_back = ProjectedShift(*self.collider, body->prev_position);
    return side;
}

// Assignment, not exchange: a body that overlaps two things in one step stays at its old place.
void RollBack(RollbackSide& side)
{
    side.body->position = side.body->prev_position;
    side.transform->position.x = side.body->position.x;
    side.transform->position.y = side.body->position.y;
    side.body->velocity = Vec2();
}

void RollBackPair(const PairSide& a, const PairSide& b)
{
    RollbackSide ra = PrepareRollback(a, b);
    RollbackSide rb = PrepareRollback(b, a);
    if (!ra.body && !rb.body) return;
    // Only a step that took the boxes deeper is undone: a body that already overlapped before the
    // step must stay free to move out.
    const Overlap kept = Measure(*a.collider, ra.shift_kept, *b.collider, rb.shift_kept);
    const Overlap back = Measure(*a.collider, ra.shift_back, *b.collider, rb.shift_back);
    if (!(kept.Depth() > back.Depth())) return;
    if (ra.body) RollBack(ra);
    if (rb.body) RollBack(rb);
}

bool RunPairTest(Manifold& manifold, bool roll_back)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    const PairSide a = MakePairSide(factory->GetLiveEntity(manifold.entity_a));
    const PairSide b = MakePairSide(factory->GetLiveEntity(manifold.entity_b));
    if (!a.collider || !b.collider) return false;
    return TestBoxPair(a, b, IsCornerRuleScene(), manifold, roll_back);
}
} // namespace

PairSide MakePairSide(Entity* entity)
{
    PairSide side;
    if (!entity) return side;
    side.entity = entity;
    side.collider = entity->GetComponent<BoxCollider>(BOXCOLLIDER).get();
    auto info = entity->GetComponent<Information>(INFORMATION);
    side.tag = info ? info->GetType() : 0;
    const std::string& name = entity->name;
    side.name_has_bound = name.find("Bound") != std::string::npos;
    side.name_has_barrier = name.find("Barrier") != std::string::npos;
    side.name_is_player = name == EntityNames::kPlayer;
    side.name_is_enemy = name == EntityNames::kEnemy;
    return side;
}

bool IsCornerRuleScene()
{
    auto scene = CurrentScene();
    return scene && scene->GetSceneName() == "GameScene_01";
}

bool TestBoxPair(const PairSide& a, const PairSide& b, bool corner_scene, Manifold& manifold, bool roll_back)
{
    if (Excluded(a, b)) return false;
    const BoxCollider& ca = *a.collider;
    const BoxCollider& cb = *b.collider;
    const bool corner_rule = corner_scene && a.name_is_player && b.name_is_enemy;
    if (corner_rule && !CornersTouch(ca, cb)) return false;

    const Overlap now = Measure(ca, Vec2(), cb, Vec2());
    if (now.Positive()) {
        // The axis of the larger overlap carries the normal.
        if (now.x > now.y) {
            manifold.normal = Vec2(now.dx < 0.0f ? -1.0f : 1.0f, 0.0f);
            manifold.penetration = now.x;
        } else {
            manifold.normal = Vec2(0.0f, now.dy < 0.0f ? -1.0f : 1.0f);
            manifold.penetration = now.y;
        }
    } else if (!corner_rule) {
        return false;
    }
    if (roll_back) RollBackPair(a, b);
    return true;
}

bool CheckAABBCollision(Manifold& manifold) { return RunPairTest(manifold, true); }

bool OverlapAABB(Manifold& manifold) { return RunPairTest(manifold, false); }

} // namespace OrvEngine
