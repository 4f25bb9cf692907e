#include "Logic/Logic.h"

#include "Components/Stats.h"
#include "Logic/EnemyMovement.h"
#include "Logic/AIMovement.h"
#include "Logic/PlayerController.h"
#include "Logic/Spells.h"
#include "Components/Parent.h"
#include "Components/Child.h"
#include "Logic/BossBehaviour.h"

namespace OrvEngine {

void Logic::Init()
{
    RegisterComponent<Stats>("Stats", STATS);
    RegisterComponent<EnemyMovement>("EnemyMovement", ENEMYMOVEMENT);
    RegisterComponent<AIMovement>("AIMovement", AIMOVEMENT);
    RegisterComponent<PlayerController>("PlayerController", PLAYERCONTROLLER);
    RegisterComponent<Spells>("Spells", SPELLS);
    RegisterComponent<Parent>("Parent", PARENT);
    RegisterComponent<Child>("Child", CHILD);
    RegisterComponent<BossBehaviour>("BossBehaviour", BOSSBEHAVIOUR);
}

} // namespace OrvEngine
