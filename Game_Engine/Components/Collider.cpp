#include "Components/Collider.h"

#include "Components/RigidBody2D.h"
#include "CoreEngine/SharedValues.h"

namespace OrvEngine {

uint64_t Collider::GeometryVersion() { return Shared().collider_geometry_version; }

void Collider::TouchGeometry() { ++Shared().collider_geometry_version; }

Collider::Collider(std::shared_ptr<RigidBody2D> rigid_body, bool trigger, bool enabled, const Vec2& centre,
                   bool following, bool unphasable, std::string name)
    : Component(std::move(name)), body(std::move(rigid_body)), is_trigger(trigger), is_enabled(enabled),
      is_unphasable(unphasable), following_transform(following), position(centre)
{
}

Collider::~Collider() = default;

void Collider::SetPosition(const Vec2& value)
{
    position = value;
    TouchGeometry();
}

} // namespace OrvEngine
