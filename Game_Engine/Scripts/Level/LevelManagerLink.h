// A link to the current level's "LevelManager" script kept across frames by entity id: found by
// name, resolved on every use, so a removed manager reads as none instead of a stale pointer.
#pragma once

#include <cstdint>

class LevelManagerScript;

class LevelManagerLink {
public:
    // Looks "LevelManager" up in the current scene while not linked. An entity of that name whose
    // script is not a LevelManagerScript does not link. True once linked.
    bool Find();
    bool IsLinked() const { return entity_id != 0; }
    // The manager while its entity lives and still holds a LevelManagerScript; null otherwise.
    LevelManagerScript* Get() const;
    void Reset() { entity_id = 0; }

private:
    uint64_t entity_id = 0;
};
