#include "Physics/CollisionSystem.h"

#include "Components/BoxCollider.h"

namespace OrvEngine {

void CollisionSystem::Init()
{
    RegisterComponent<BoxCollider>("BoxCollider", BOXCOLLIDER);
}

} // namespace OrvEngine
