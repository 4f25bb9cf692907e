#include "Logic/GameplayRouting.h"

#include "Components/RigidBody2D.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"

namespace OrvEngine {

namespace {
// Whichever of the two arrives, the controller keeps the Stats once both are there.
void JoinPlayerStats(Entity& entity, const std::shared_ptr<Component>&)
{
    auto player = entity.GetComponent<PlayerController>(PLAYERCONTROLLER);
    auto stats = entity.GetComponent<Stats>(STATS);
    if (player && stats) player->stats = stats;
}

template <class Movement>
void Connect(Entity& entity, Movement& movement)
{
    if (auto body = entity.GetComponent<RigidBody2D>(RIGIDBODY2D)) movement.SetRigidBody(body);
    if (auto transform = entity.GetComponent<Transform>(TRANSFORM)) movement.SetTransform(transform);
}

template <class Movement>
void RouteMovement(int type)
{
    EntityFactory::GetInstance()->SetComponentHooks(
        type,
        [type](Entity& entity, const std::shared_ptr<Component>& component) { ConnectMovement(entity, type, component); },
        [](Entity*, const std::shared_ptr<Component>& component) {
            std::static_pointer_cast<Movement>(component)->Disconnect();
        });
}
} // namespace

void ConnectMovement(Entity& entity, int type, const std::shared_ptr<Component>& component)
{
    if (type == AIMOVEMENT) Connect(entity, *std::static_pointer_cast<AIMovement>(component));
    if (type == ENEMYMOVEMENT) Connect(entity, *std::static_pointer_cast<EnemyMovement>(component));
}

void RouteGameplayComponents()
{
    EntityFactory* factory = EntityFactory::GetInstance();
    factory->SetComponentHooks(PLAYERCONTROLLER, JoinPlayerStats, nullptr);
    factory->SetComponentHooks(STATS, JoinPlayerStats, nullptr);
    RouteMovement<AIMovement>(AIMOVEMENT);
    RouteMovement<EnemyMovement>(ENEMYMOVEMENT);
}

} // namespace OrvEngine
