#include "Scripts/Level/LevelManagerLink.h"

#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptSystem.h"

using namespace OrvEngine;

namespace {
LevelManagerScript* ManagerOf(uint64_t id)
{
    if (id == 0 || !ScriptSystem::Exists()) return nullptr;
    return dynamic_cast<LevelManagerScript*>(ScriptSystem::GetInstance()->GetScript(id).get());
}
} // namespace

bool LevelManagerLink::Find()
{
    if (entity_id != 0) return true;
    Entity* entity = FindEntityByName(EntityNames::kLevelManager);
    if (entity && ManagerOf(entity->id)) entity_id = entity->id;
    return entity_id != 0;
}

LevelManagerScript* LevelManagerLink::Get() const
{
    if (entity_id == 0 || !FindLiveEntity(entity_id)) return nullptr;
    return ManagerOf(entity_id);
}
