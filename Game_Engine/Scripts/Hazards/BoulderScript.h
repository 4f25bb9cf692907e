// Falling hazards: the entity shows its warning ring for 2 seconds, then plays its 16-frame
// animation once and removes itself on frame 16. On frames 8 to 11 it takes 2 hit points from the
// player and the companion (once per contact window) and from an enemy (once per hurt period).
// BoulderScript drops a boulder with a thud; SpikesScript raises spikes, silently and faster.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Sprite;
}

class BoulderScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "BoulderScript"; }

    std::shared_ptr<OrvEngine::Sprite> sprite;
    uint64_t victim = 0;  // entity id of the last entity hurt
    bool player_hit = false;
    bool companion_hit = false;
    float ring_timer = 0.0f;
    bool sound_played = false;

protected:
    struct Kind {
        const char* animation;
        float frame_time;
        const char* sound; // null for none
    };
    virtual Kind GetKind() const { return {"Boulder", 0.01f, "SFX_EO_Boulder"}; }

private:
    void StartAnimation(OrvEngine::Entity* entity);
    void Hurt(OrvEngine::Entity* other);
};

class SpikesScript : public BoulderScript {
protected:
    Kind GetKind() const override { return {"Anim_Spikes", 0.02f, nullptr}; }
};
