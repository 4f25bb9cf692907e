// A title-screen character walking back and forth: the first letter of its Information name, "R" or
// "L", is the direction it starts in; it turns round every ten seconds of running game.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>
#include <string>

namespace OrvEngine {
class Transform;
}

class MainMenuWalking : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "MainMenuWalking"; }

    std::shared_ptr<OrvEngine::Transform> transform;
    std::string direction;  // "R", "L", or empty: stands still
    float step = 0.0f;      // world units per frame, not per second
    float timer = 0.0f;     // seconds left before turning
    float walk_time = 0.0f; // seconds per leg

private:
    void Walk(float sign, const char* turn_to);
};
