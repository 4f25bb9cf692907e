// The script of a damage digit ("NumberPrefab"): rises a fixed step per frame and removes its own
// entity once its two seconds of running game are over.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Transform;
}

class NumberVelocity : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "NumberVelocity"; }

    std::shared_ptr<OrvEngine::Transform> transform;
    float velocity = 0.0f; // world units per frame, not per second
    float lifetime = 0.0f; // seconds left
};
