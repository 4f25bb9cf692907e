// Collider: the abstract collider component (flags, the box centre and the body it pushes back).
// Geometry changes go through the setters so the collision pass notices them.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class RigidBody2D;

class Collider : public Component {
public:
    Collider(std::shared_ptr<RigidBody2D> rigid_body, bool trigger, bool enabled, const Vec2& centre,
             bool following, bool unphasable, std::string name);
    ~Collider() override;

    void Update() override {}
    virtual void UpdateBounds() = 0;

    Vec2 GetPosition() const { return position; }
    // Bounds are not recomputed.
    void SetPosition(const Vec2& value);
    // An empty pointer clears the body.
    void SetRigidBody(const std::shared_ptr<RigidBody2D>& rigid_body) { body = rigid_body; }
    bool* IsTriggerPtr() { return &is_trigger; }
    bool* IsUnphasablePtr() { return &is_unphasable; }
    bool* FollowingTransformPtr() { return &following_transform; }

    // Bumped by every change of any collider's position, size or bounds; the collision pass
    // compares it after each message to learn whether receivers moved boxes.
    static uint64_t GeometryVersion();

    std::shared_ptr<RigidBody2D> body;
    bool is_trigger = false;
    bool is_enabled = true;
    bool is_unphasable = false;
    bool following_transform = true;

protected:
    static void TouchGeometry();

    Vec2 position;  // base centre of the box in world units
};

} // namespace OrvEngine
