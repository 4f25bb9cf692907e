#include "Components/RigidBody2D.h"

#include "Components/Transform.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"

namespace OrvEngine {

namespace {
float InverseOf(float mass) { return mass == 0.0f ? 0.0f : 1.0f / mass; }
} // namespace

bool RigidBody2D::Serialize(JsonWriter& writer)
{
    Serializer::WriteInt(writer, "body_type", body_type);
    Serializer::WriteFloat(writer, "mass", mass);
    Serializer::WriteFloat(writer, "gravity_scale", gravity_scale);
    return true;
}

void RigidBody2D::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    body_type = Serializer::ReadInt(*object, "body_type", 0);
    mass = Serializer::ReadFloat(*object, "mass", 0.0f);
    gravity_scale = Serializer::ReadFloat(*object, "gravity_scale", 0.0f);
    inv_mass = InverseOf(mass);
}

void RigidBody2D::SetMass(const float& value)
{
    mass = value;
    inv_mass = InverseOf(mass);
}

void RigidBody2D::SetPosition(const Vec2& value)
{
    prev_position = position;
    position = value;
}

float RigidBody2D::ClampAcceleration(float value)
{
    // Beyond the unit range the value drops to 0.9, not to 1.0.
    if (value > 1.0f) return 0.9f;
    if (value < -1.0f) return -0.9f;
    return value;
}

void RigidBody2D::Integrate(float dt, const Vec2& gravity)
{
    if (body_type == BT_Static) return;
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (transform) position = transform->GetPosition2D();
    prev_position = position;
    position = position + Vec2(velocity.x * dt, velocity.y * dt);
    acceleration.x = ClampAcceleration(force.x * inv_mass + gravity.x * gravity_scale);
    acceleration.y = ClampAcceleration(force.y * inv_mass + gravity.y * gravity_scale);
    velocity = velocity + Vec2(acceleration.x * dt, acceleration.y * dt);
    force = Vec2();
}

} // namespace OrvEngine
