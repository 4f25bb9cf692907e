// A poison floor's sound: loops "SFX_EO_Poison" while the floor is in view and stops it when the
// floor leaves the view. The damage itself comes from the floor's TerrainDamage tag.
#pragma once

#include "Scripts/BaseScript.h"
#include "Scripts/Level/LevelManagerLink.h"

#include <memory>

namespace OrvEngine {
class Transform;
}

class PoisonFloorScript : public OrvEngine::BaseScript {
public:
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "PoisonFloorScript"; }

    LevelManagerLink level_manager;
    std::shared_ptr<OrvEngine::Transform> transform;
    bool playing = false;
};
