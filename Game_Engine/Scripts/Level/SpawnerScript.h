// Enemy spawners: a trigger that spawns its fixed group of enemies the first time the player walks
// into it in a scene visit. The group follows the spawner's own name ("Spawner_E2", "Spawner_E3").
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Transform;
}

class SpawnerScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "SpawnerScript"; }

    bool fired = false;
    std::shared_ptr<OrvEngine::Transform> transform;
};
