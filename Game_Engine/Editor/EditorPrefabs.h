// The editor's prefab actions: a copy of an entity saved as a prefab, an existing prefab
// overwritten or removed. The prefab file is written (atomically) before the prefab in memory
// changes, and "Prefab/Archetype.json" is rewritten after every change, so the index always
// lists the prefabs there are. Every change is refused while a play runs or is paused (the
// entities then hold the played state). Loading prefabs is the entity factory's business.
#pragma once

#include <string>

namespace OrvEngine {

class Entity;

namespace EditorPrefabs {

// A name a prefab may take: a safe path component and not "Archetype" (the index's own file).
bool IsUsablePrefabName(const std::string& name);
// A prefab of that name is held, or its file is in the prefab folder.
bool Exists(const std::string& name);
// Saves a copy of the entity as the prefab named after it. Refused (and reported) for a name that
// is not usable, for a name taken when not overwriting, or when the index could not be read at
// start-up. The old prefab, file and entry, stays until the new file is written. True on success.
bool SaveAsPrefab(Entity& entity, bool overwrite);
// Removes the prefab's file, then the prefab, then rewrites the index. A file that cannot be
// removed keeps the prefab (reported). True on success.
bool RemovePrefab(const std::string& name);

} // namespace EditorPrefabs
} // namespace OrvEngine
