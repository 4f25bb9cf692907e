// How the gameplay components join and leave the systems: the player controller takes its entity's
// Stats, and the companion's and enemies' movements take their entity's body and Transform.
#pragma once

#include <memory>

namespace OrvEngine {

class Component;
class Entity;

// A companion's or enemy's movement (by type id) takes its entity's body and Transform when the
// entity has them; other types are left alone.
void ConnectMovement(Entity& entity, int type, const std::shared_ptr<Component>& component);
// Registers the hooks with the entity factory; the Logic system's Init calls it.
void RouteGameplayComponents();

} // namespace OrvEngine
