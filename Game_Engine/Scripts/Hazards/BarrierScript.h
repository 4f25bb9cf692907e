// The barrier: invisible until the view's right edge comes within 3.0 of it, then it fades in with
// a sound. Its entity (and so its blocking collider) is active only while the level manager still
// counts enemies, so the way opens when the last one is gone and closes if another registers.
#pragma once

#include "Scripts/BaseScript.h"
#include "Scripts/Level/LevelManagerLink.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Sprite;
class Transform;
} // namespace OrvEngine

class BarrierScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "BarrierScript"; }

    LevelManagerLink level_manager;
    bool triggered = false;
    float view_width = 0.0f;
    float alpha = 0.0f;
    float alpha_step = 0.03f;
    float lead_distance = 3.0f;
    std::shared_ptr<OrvEngine::Transform> transform;
    uint64_t player = 0; // entity id of "Player", 0 until found
    std::shared_ptr<OrvEngine::Sprite> sprite;

private:
    void FindViewAndPlayer();
    void CheckTrigger(OrvEngine::Entity* entity);
};
