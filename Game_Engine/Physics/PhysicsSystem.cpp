#include "Physics/PhysicsSystem.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Physics/CollisionSystem.h"
#include "Physics/ForceManager.h"

#include <algorithm>

namespace OrvEngine {

namespace {
constexpr float kImpulseFactor = -1.5f;  // -(1 + restitution 0.5)
constexpr float kSlop = 0.05f;           // penetration left uncorrected
constexpr float kCorrectionShare = 0.3f; // share of the rest corrected per resolution

void MoveTransformTo(Entity* entity, const Vec2& position)
{
    auto transform = entity->GetComponent<Transform>(TRANSFORM);
    if (!transform) return;
    transform->position.x = position.x;
    transform->position.y = position.y;
}
} // namespace

void PhysicsSystem::Init()
{
    RegisterComponent<Transform>("Transform", TRANSFORM);
    RegisterComponent<RigidBody2D>("RigidBody2D", RIGIDBODY2D);
    RouteComponent(RIGIDBODY2D, &PhysicsSystem::AddRigidBody, &PhysicsSystem::RemoveRigidBody);
}

void PhysicsSystem::AddRigidBody(const std::shared_ptr<RigidBody2D>& body)
{
    if (body) bodies_.push_back(body);
}

void PhysicsSystem::RemoveRigidBody(const std::shared_ptr<RigidBody2D>& body)
{
    if (!body) return;
    auto it = std::find(bodies_.begin(), bodies_.end(), body);
    if (it != bodies_.end()) bodies_.erase(it);
}

void PhysicsSystem::Update()
{
    FPS* fps = FPS::GetInstance();
    // The count is read again before each step.
    for (uint64_t done = 0; done < fps->fixed_steps; ++done) {
        if (!Step()) return;
    }
}

bool PhysicsSystem::Step()
{
    if (GameIsRunning) {
        if (bodies_.empty()) return false;
        ForceManager::GetInstance()->AdvanceTimers(kStepTime);
        IntegrateBodies(kStepTime);
    }
    CollisionSystem::GetInstance()->CheckCollisions();
    // While editing, bodies are not stepped: their positions are stale and must not reach Transforms.
    if (GameIsRunning) ResolveCollisions();
    return true;
}

void PhysicsSystem::IntegrateBodies(float dt)
{
    ForceManager* forces = ForceManager::GetInstance();
    for (size_t k = 0; k < bodies_.size(); ++k) {
        RigidBody2D& body = *bodies_[k];
        Entity* owner = body.owner;
        if (!owner || !owner->active) continue;
        if (!body.IsStatic()) body.force = forces->GetSummedForce(owner->id);
        body.Integrate(dt, forces->gravity);
        if (body.IsStatic() || body.position == body.prev_position) continue;
        auto transform = owner->GetComponent<Transform>(TRANSFORM);
        if (!transform) continue;
        // The new velocity carries the Transform on from the integrated position.
        transform->position.x = body.position.x + body.velocity.x * dt;
        transform->position.y = body.position.y + body.velocity.y * dt;
        transform->UpdateMatrix();
    }
}

void PhysicsSystem::ResolveCollisions()
{
    const std::vector<Manifold>& contacts = CollisionSystem::GetInstance()->GetContacts();
    const size_t count = contacts.size();
    EntityFactory* factory = EntityFactory::GetInstance();
    for (size_t k = 0; k < count; ++k) {
        const Manifold contact = contacts[k];
        Entity* a = factory->GetLiveEntity(contact.entity_a);
        Entity* b = factory->GetLiveEntity(contact.entity_b);
        if (!a || !b) continue;
        auto collider_a = a->GetComponent<BoxCollider>(BOXCOLLIDER);
        auto collider_b = b->GetComponent<BoxCollider>(BOXCOLLIDER);
        if (collider_a && collider_b && collider_a->is_trigger && collider_b->is_trigger) continue;
        auto body_a = a->GetComponent<RigidBody2D>(RIGIDBODY2D);
        auto body_b = b->GetComponent<RigidBody2D>(RIGIDBODY2D);
        if (body_a && body_b && body_a->IsStatic() && body_b->IsStatic()) continue;
        ResolveCollision(contact);
    }
}

void PhysicsSystem::ResolveCollision(const Manifold& contact)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    Entity* a = factory->GetLiveEntity(contact.entity_a);
    Entity* b = factory->GetLiveEntity(contact.entity_b);
    if (!a || !b) return;
    auto collider_a = a->GetComponent<BoxCollider>(BOXCOLLIDER);
    auto collider_b = b->GetComponent<BoxCollider>(BOXCOLLIDER);
    auto body_a = a->GetComponent<RigidBody2D>(RIGIDBODY2D);
    auto body_b = b->GetComponent<RigidBody2D>(RIGIDBODY2D);
    if (!collider_a || !collider_b || !body_a || !body_b) return;
    if ((collider_a->is_trigger && !collider_b->is_unphasable) || (collider_b->is_trigger && !collider_a->is_unphasable) ||
        !collider_a->is_enabled || !collider_b->is_enabled) {
        return;
    }
    const Vec2 n = contact.normal;
    const float vn = (body_b->velocity.y - body_a->velocity.y) * n.y + (body_b->velocity.x - body_a->velocity.x) * n.x;
    if (vn > 0.0f) return;
    const float inv_sum = body_a->inv_mass + body_b->inv_mass;
    if (inv_sum == 0.0f) return;
    const float j = vn * kImpulseFactor / inv_sum;
    const Vec2 impulse(n.x * j, n.y * j);
    const float mass_sum = body_a->mass + body_b->mass;
    if (mass_sum == 0.0f) return;
    // Both bodies take A's share of the total mass.
    const float share = body_a->mass / mass_sum;
    if (!body_a->IsStatic()) body_a->velocity = body_a->velocity - Vec2(impulse.x * share, impulse.y * share);
    if (!body_b->IsStatic()) body_b->velocity = body_b->velocity + Vec2(impulse.x * share, impulse.y * share);
    if (body_a->IsStatic() || body_b->IsStatic()) return;

    const float c = std::max(contact.penetration - kSlop, 0.0f) / inv_sum * kCorrectionShare;
    const Vec2 correction(n.x * c, n.y * c);
    body_a->prev_position = body_a->position;
    body_a->position = body_a->position - Vec2(correction.x * body_a->inv_mass, correction.y * body_a->inv_mass);
    MoveTransformTo(a, body_a->position);
    body_b->prev_position = body_b->position;
    body_b->position = body_b->position + Vec2(correction.x * body_b->inv_mass, correction.y * body_b->inv_mass);
    MoveTransformTo(b, body_b->position);
}

} // namespace OrvEngine
