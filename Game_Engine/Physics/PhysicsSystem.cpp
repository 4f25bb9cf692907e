#include "Physics/PhysicsSystem.h"

#include "Components/Transform.h"
#include "Components/RigidBody2D.h"

namespace OrvEngine {

void PhysicsSystem::Init()
{
    RegisterComponent<Transform>("Transform", TRANSFORM);
    RegisterComponent<RigidBody2D>("RigidBody2D", RIGIDBODY2D);
}

} // namespace OrvEngine
