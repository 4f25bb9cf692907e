// How the gameplay components join and leave the systems: the player controller takes its entity's
// Stats, and the companion's and enemies' movements take their entity's body and Transform.
#pragma once

namespace OrvEngine {

// Registers the hooks with the entity factory; the Logic system's Init calls it.
void RouteGameplayComponents();

} // namespace OrvEngine
