// Putting an entity the factory has just made into play: into a scene's live entities and into the
// systems, in the order the caller needs, listed by name when asked, with the factory's staging map
// left empty. Also the prefab instancing every spawner uses.
#pragma once

#include <string>

namespace OrvEngine {

class Entity;
class IScene;

enum class SpawnOrder {
    SceneFirst,   // the entity's script already finds it in the scene when its Init runs
    SystemsFirst, // the scene lists it only once its components are in their systems
};

// scene may be null: the entity then only joins the systems. The name index lists it when
// list_by_name is set and it survived. Null when its own script destroyed it while it joined.
Entity* SpawnIntoScene(IScene* scene, Entity* entity, SpawnOrder order, bool list_by_name);

// An entity made from the prefab, in the current scene and the systems and listed by name; null
// when the prefab is unknown, there is no current scene, or its script removed it again in Init.
Entity* InstantiatePrefab(const std::string& prefab_name);

} // namespace OrvEngine
