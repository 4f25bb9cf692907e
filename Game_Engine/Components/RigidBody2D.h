// RigidBody2D: a point-mass body (type, mass, gravity scale) and the state one integration step
// works with. Stepped by the physics system; rolled back and pushed by the collision code.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <cstdint>

namespace OrvEngine {

enum BodyType : int32_t { BT_Dynamic = 0, BT_Kinematic = 1, BT_Static = 2 };

class RigidBody2D : public Component {
public:
    RigidBody2D() : Component("RigidBody2D") {}

    bool Serialize(JsonWriter& writer) override;
    // A missing member reads as 0; inv_mass follows the read mass.
    void Deserialize(const rapidjson::Value& value) override;
    // Bodies are stepped by the physics system, not here.
    void Update() override {}
    // A copy of every field; the owner is replaced when an entity adds it.
    std::shared_ptr<Component> Clone() override { return std::make_shared<RigidBody2D>(*this); }

    int32_t GetBodyType() const { return body_type; }
    void SetBodyType(const int32_t& type) { body_type = type; }
    bool IsStatic() const { return body_type == BT_Static; }
    // inv_mass becomes 1/mass, or exactly 0 for a zero mass.
    void SetMass(const float& value);
    float GetGravityScale() const { return gravity_scale; }
    Vec2 GetVelocity() const { return velocity; }
    void SetVelocity(const Vec2& value) { velocity = value; }
    // prev_position takes the old position first.
    void SetPosition(const Vec2& value);

    // One step of dt seconds from the owner's Transform position under `force` (set by the physics
    // system) and gravity; a static body is untouched. The Transform is not written here (the
    // physics system does that).
    void Integrate(float dt, const Vec2& gravity);

    // Acceleration limits applied per component after forces and gravity.
    static float ClampAcceleration(float value);

    int32_t body_type = BT_Dynamic;
    float mass = 0.0f;
    float inv_mass = 0.0f;
    float gravity_scale = 0.0f;
    Vec2 velocity;
    Vec2 acceleration;
    Vec2 position;
    Vec2 prev_position;
    Vec2 force;
    // Copied by Clone; nothing in the physics reads them and they are not saved.
    float spare[2] = {0.3f, 0.3f};
};

} // namespace OrvEngine
