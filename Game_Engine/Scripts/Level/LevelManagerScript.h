// The level's shared facts: the player's and camera's Transforms, found once by name, and the two
// enemy counters the enemy and boss scripts keep. Other scripts reach it through a LevelManagerLink.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Transform;
}

class LevelManagerScript : public OrvEngine::BaseScript {
public:
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "LevelManagerScript"; }

    // True when world x lies in the camera's width around the player, 0.33 in from either edge;
    // false until both Transforms are known.
    bool IsOnScreen(float x) const;

    int32_t enemy_count = 0;
    int32_t purifiable_on_screen = 0;
    std::shared_ptr<OrvEngine::Transform> player_transform;
    std::shared_ptr<OrvEngine::Transform> camera_transform;
};
