// The death wall: advances along +x at 0.1 units per second for the life of the scene; each touch
// takes 1 hit point from the player or the companion (once per hurt period, pushing them 0.25
// along +x) and from an enemy that still has hit points.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Transform;
}

class DeathWallScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "DeathWallScript"; }

    std::shared_ptr<OrvEngine::Transform> transform;
    float speed = 0.0f; // world units per second
};
