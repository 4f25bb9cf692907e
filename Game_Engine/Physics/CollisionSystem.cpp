#include "Physics/CollisionSystem.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Graphics/DebugDraw.h"
#include "Logging/Logging.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace OrvEngine {

namespace {
bool Finite(const Vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// The box's outline as one batch of debug lines: red while colliding (unless a trigger), green
// otherwise.
void DrawOutline(const BoxCollider& box, bool colliding)
{
    const Vec4 colour = colliding && !box.is_trigger ? Vec4(1.0f, 0.0f, 0.0f, 1.0f) : Vec4(0.0f, 1.0f, 0.0f, 1.0f);
    DebugDraw::GetInstance()->AddBox(box.GetCentre(), box.GetSize().x / 2.0f, box.GetSize().y / 2.0f, colour);
}

// The side code for the entity `self_is_a` describes, comparing one coordinate of A and B.
CollisionSide SideFrom(float a, float b, bool self_is_a, CollisionSide other_lower, CollisionSide other_higher)
{
    if (b < a) return self_is_a ? other_lower : other_higher;
    return self_is_a ? other_higher : other_lower;
}
} // namespace

void CollisionSystem::Init()
{
    PrintLine("CollisionSystem::Init()");
    RegisterComponent<BoxCollider>("BoxCollider", BOXCOLLIDER);
    // A collider moves with its entity's body, when it has one.
    EntityFactory::GetInstance()->SetComponentHooks(
        BOXCOLLIDER,
        [](Entity& entity, const std::shared_ptr<Component>& component) {
            auto collider = std::static_pointer_cast<BoxCollider>(component);
            if (auto body = entity.GetComponent<RigidBody2D>(RIGIDBODY2D)) collider->SetRigidBody(body);
            CollisionSystem::GetInstance()->AddCollider(collider);
        },
        [](Entity*, const std::shared_ptr<Component>& component) {
            auto collider = std::static_pointer_cast<BoxCollider>(component);
            collider->SetRigidBody(nullptr);
            CollisionSystem::GetInstance()->RemoveCollider(collider);
        });
}

void CollisionSystem::AddCollider(const std::shared_ptr<BoxCollider>& collider)
{
    if (collider) colliders_.push_back(collider);
}

void CollisionSystem::RemoveCollider(const std::shared_ptr<BoxCollider>& collider)
{
    if (!collider) return;
    auto it = std::find(colliders_.begin(), colliders_.end(), collider);
    if (it == colliders_.end()) return;
    colliders_.erase(it);
    if (!in_pass_) return;
    auto entry = std::find_if(pass_.begin(), pass_.end(),
                              [&](const PassEntry& e) { return e.live && e.collider == collider; });
    if (entry != pass_.end()) entry->live = false;
}

void CollisionSystem::CheckCollisions()
{
    // A receiver that starts another pass from inside this one gets nothing.
    if (in_pass_) return;
    contacts_.clear();
    BeginPass();
    const bool corner_scene = IsCornerRuleScene();
    for (size_t i = 0; i < pass_.size(); ++i) {
        if (!Usable(i)) continue;
        pass_[i].collider->Update();
        if (ShowDebugDrawing) DrawOutline(*pass_[i].collider, false);
        RefreshBox(i);
        seen_geometry_ = Collider::GeometryVersion();
        TestLaterColliders(i, corner_scene);
        if (ShowDebugDrawing && Usable(i)) DrawContactsOf(i);
    }
    EndPass();
}

void CollisionSystem::BeginPass()
{
    in_pass_ = true;
    pass_.clear();
    for (const auto& collider : colliders_) {
        PassEntry entry;
        entry.collider = collider;
        entry.checked_at = messages_sent_;
        Entity* owner = collider->owner;
        if (owner) {
            entry.side = MakePairSide(owner);
            entry.side.collider = collider.get();
            entry.id = owner->id;
            entry.live = true;
            entry.has_transform = owner->GetComponent<Transform>(TRANSFORM) != nullptr;
        }
        pass_.push_back(std::move(entry));
    }
    // A block of empty boxes past the end lets every candidate scan run a whole block.
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const size_t padded = pass_.size() + kBlock;
    lo_x_.assign(padded, kInf);
    lo_y_.assign(padded, kInf);
    hi_x_.assign(padded, -kInf);
    hi_y_.assign(padded, -kInf);
    RefreshBoxesFrom(0);
}

void CollisionSystem::EndPass()
{
    pass_.clear();
    in_pass_ = false;
}

bool CollisionSystem::Usable(size_t k)
{
    PassEntry& entry = pass_[k];
    if (!entry.live) return false;
    if (entry.checked_at != messages_sent_) {
        // Receivers ran since this entry was last looked at: make sure its entity still exists.
        entry.checked_at = messages_sent_;
        if (EntityFactory::GetInstance()->GetLiveEntity(entry.id) != entry.side.entity) {
            entry.live = false;
            return false;
        }
    }
    return entry.has_transform && entry.side.entity->active;
}

void CollisionSystem::RefreshBox(size_t k)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const BoxCollider* collider = pass_[k].collider.get();
    if (!collider) {
        SetBox(k, kInf, kInf, -kInf, -kInf);
        return;
    }
    const Vec2 centre = collider->GetCentre();
    const Vec2 lo = collider->GetMin();
    const Vec2 hi = collider->GetMax();
    if (!Finite(centre) || !Finite(lo) || !Finite(hi)) {
        SetBox(k, -kInf, -kInf, kInf, kInf);
        return;
    }
    // Covers both the centre-and-extent measure and the corner rule's min/max, with a margin for rounding.
    const float half_x = std::fabs(hi.x - lo.x) * 0.5f;
    const float half_y = std::fabs(hi.y - lo.y) * 0.5f;
    const float lo_x = std::min({lo.x, hi.x, centre.x - half_x});
    const float hi_x = std::max({lo.x, hi.x, centre.x + half_x});
    const float lo_y = std::min({lo.y, hi.y, centre.y - half_y});
    const float hi_y = std::max({lo.y, hi.y, centre.y + half_y});
    const float margin_x = 1e-5f * (std::fabs(lo_x) + std::fabs(hi_x)) + 1e-6f;
    const float margin_y = 1e-5f * (std::fabs(lo_y) + std::fabs(hi_y)) + 1e-6f;
    SetBox(k, lo_x - margin_x, lo_y - margin_y, hi_x + margin_x, hi_y + margin_y);
}

void CollisionSystem::SetBox(size_t k, float lo_x, float lo_y, float hi_x, float hi_y)
{
    lo_x_[k] = lo_x;
    lo_y_[k] = lo_y;
    hi_x_[k] = hi_x;
    hi_y_[k] = hi_y;
}

void CollisionSystem::RefreshBoxesFrom(size_t first)
{
    for (size_t k = first; k < pass_.size(); ++k) RefreshBox(k);
}

uint64_t CollisionSystem::CandidateMask(size_t i, size_t first) const
{
    const float lx = lo_x_[i];
    const float ly = lo_y_[i];
    const float hx = hi_x_[i];
    const float hy = hi_y_[i];
    // Same-width flags and an early exit keep the common case (no candidate in the block) cheap.
    int32_t hit[kBlock];
    int32_t any = 0;
    const float* lo_x = lo_x_.data() + first;
    const float* lo_y = lo_y_.data() + first;
    const float* hi_x = hi_x_.data() + first;
    const float* hi_y = hi_y_.data() + first;
    for (size_t b = 0; b < kBlock; ++b) {
        const int32_t h = (lo_x[b] <= hx) & (lx <= hi_x[b]) & (lo_y[b] <= hy) & (ly <= hi_y[b]);
        hit[b] = h;
        any |= h;
    }
    if (!any) return 0;
    uint64_t mask = 0;
    for (size_t b = 0; b < kBlock; ++b) {
        if (hit[b]) mask |= uint64_t{1} << b;
    }
    return mask;
}

void CollisionSystem::TestLaterColliders(size_t i, bool corner_scene)
{
    const size_t n = pass_.size();
    size_t first = i + 1;
    while (first < n) {
        const size_t end = std::min(first + kBlock, n);
        uint64_t mask = CandidateMask(i, first);
        // An unbounded box (non-finite data) matches the padding too.
        if (end - first < kBlock) mask &= (uint64_t{1} << (end - first)) - 1;
        size_t next = end;
        while (mask) {
            const size_t j = first + static_cast<size_t>(__builtin_ctzll(mask));
            mask &= mask - 1;
            if (!Usable(j) || !TestPair(i, j, corner_scene)) continue;
            // Receivers ran: the collider under test may be gone, and boxes may have moved.
            if (!Usable(i)) return;
            if (Collider::GeometryVersion() != seen_geometry_) {
                RefreshBoxesFrom(i);
                seen_geometry_ = Collider::GeometryVersion();
                next = j + 1;
                break;
            }
        }
        first = next;
    }
}

bool CollisionSystem::TestPair(size_t i, size_t j, bool corner_scene)
{
    const PairSide& a = pass_[i].side;
    const PairSide& b = pass_[j].side;
    if ((a.tag == TAG_PLAYER && b.tag == TAG_RANGE_ATTACK) || (a.tag == TAG_RANGE_ATTACK && b.tag == TAG_PLAYER)) {
        return false;
    }
    const RigidBody2D* body_a = a.collider->body.get();
    const RigidBody2D* body_b = b.collider->body.get();
    if (!body_a || !body_b) return false;
    if (body_a->IsStatic() && body_b->IsStatic()) return false;
    Manifold contact(pass_[i].id, pass_[j].id);
    // Without integration there is no step to undo, and bodies do not hold their entities' places.
    if (!TestBoxPair(a, b, corner_scene, contact, GameIsRunning)) return false;
    // Only the earlier collider's trigger flag chooses the message.
    Report(contact, a.collider->is_trigger);
    contacts_.push_back(contact);
    return true;
}

void CollisionSystem::Report(const Manifold& contact, bool trigger)
{
    ++messages_sent_;
    if (!OrvCoreEngine) return;
    if (trigger) {
        CollisionMessage message(contact.entity_a, contact.entity_b);
        OrvCoreEngine->BroadcastMessage(&message);
    } else {
        ContactMessage message(contact.entity_a, contact.entity_b);
        OrvCoreEngine->BroadcastMessage(&message);
    }
}

void CollisionSystem::DrawContactsOf(size_t i)
{
    const uint64_t id = pass_[i].id;
    for (const Manifold& contact : contacts_) {
        if (contact.entity_a == id || contact.entity_b == id) DrawOutline(*pass_[i].collider, true);
    }
}

CollisionSide CollisionSystem::SideIn(const Manifold& contact, bool self_is_a) const
{
    EntityFactory* factory = EntityFactory::GetInstance();
    const Entity* a = factory->GetLiveEntity(contact.entity_a);
    const Entity* b = factory->GetLiveEntity(contact.entity_b);
    auto collider_a = a ? a->GetComponent<BoxCollider>(BOXCOLLIDER) : nullptr;
    auto collider_b = b ? b->GetComponent<BoxCollider>(BOXCOLLIDER) : nullptr;
    if (!collider_a || !collider_b) return SIDE_NONE;
    const Vec2 pa = collider_a->GetCentre();
    const Vec2 pb = collider_b->GetCentre();
    // A normal with x = 0 comes from a side-by-side overlap (the larger overlap picks the axis).
    if (contact.normal.x == 0.0f) return SideFrom(pa.x, pb.x, self_is_a, SIDE_LEFT, SIDE_RIGHT);
    if (contact.normal.y == 0.0f) return SideFrom(pa.y, pb.y, self_is_a, SIDE_BELOW, SIDE_ABOVE);
    return SIDE_NONE;
}

CollisionSide CollisionSystem::GetCollisionSide(const Entity* entity) const
{
    if (!entity || TagOf(entity) != TAG_ENEMY) return SIDE_NONE;
    EntityFactory* factory = EntityFactory::GetInstance();
    for (const Manifold& contact : contacts_) {
        const bool self_is_a = contact.entity_a == entity->id;
        if (!self_is_a && contact.entity_b != entity->id) continue;
        const Entity* other = factory->GetLiveEntity(self_is_a ? contact.entity_b : contact.entity_a);
        if (!other) continue;
        const uint32_t other_tag = TagOf(other);
        if (other_tag != TAG_AI && other_tag != TAG_TERRAIN_DAMAGE) continue;
        if (const CollisionSide side = SideIn(contact, self_is_a)) return side;
    }
    return SIDE_NONE;
}

CollisionSide CollisionSystem::GetAnyCollisionSide(const Entity* entity) const
{
    if (!entity) return SIDE_NONE;
    for (const Manifold& contact : contacts_) {
        const bool self_is_a = contact.entity_a == entity->id;
        if (!self_is_a && contact.entity_b != entity->id) continue;
        if (const CollisionSide side = SideIn(contact, self_is_a)) return side;
    }
    return SIDE_NONE;
}

CollisionSide CollisionSystem::GetPairCollisionSide(const Entity* first, const Entity* second, bool first_is_a) const
{
    if (!first || !second) return SIDE_NONE;
    const uint64_t a = first_is_a ? first->id : second->id;
    const uint64_t b = first_is_a ? second->id : first->id;
    for (const Manifold& contact : contacts_) {
        if (contact.entity_a != a || contact.entity_b != b) continue;
        if (const CollisionSide side = SideIn(contact, first_is_a)) return side;
    }
    return SIDE_NONE;
}

} // namespace OrvEngine
