#include "Scene/Spawn.h"

#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Logging/Logging.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

namespace OrvEngine {

Entity* SpawnIntoScene(IScene* scene, Entity* entity, SpawnOrder order, bool list_by_name)
{
    if (!entity) return nullptr;
    EntityFactory* factory = EntityFactory::GetInstance();
    if (scene && order == SpawnOrder::SceneFirst) scene->AddEntity(entity->id, entity);
    const bool alive = factory->AddEntityToSystems(entity);
    if (alive && scene && order == SpawnOrder::SystemsFirst) scene->AddEntity(entity->id, entity);
    factory->GetEntities().clear();
    if (!alive) return nullptr;
    if (list_by_name) factory->AddEntityName(entity);
    return entity;
}

Entity* InstantiatePrefab(const std::string& prefab_name)
{
    auto scene = CurrentScene();
    if (!scene) {
        LogLine("[InstantiatePrefab] No current scene for " + prefab_name);
        return nullptr;
    }
    return SpawnIntoScene(scene.get(), EntityFactory::GetInstance()->CreateFromArchetype(prefab_name),
                          SpawnOrder::SceneFirst, true);
}

} // namespace OrvEngine
