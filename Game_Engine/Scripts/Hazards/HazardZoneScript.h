// Hazard zones: while the player stands inside the zone's box, the zone drops a wave of warning
// rings (boulders or spikes) at random places in the box, each after its own random delay counted
// in time spent inside; a collision message arms the next wave once one has fallen. The six
// classes share one body and differ only in their delays, ring count and ring prefab.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace OrvEngine {
class BoxCollider;
class Transform;
} // namespace OrvEngine

class HazardZoneScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    // Any entity's overlap arms a wave; only the player's presence makes it fall.
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "BoulderLevelScript"; }
    // Makes one ring inside the zone; a prefab that cannot be made still counts as fallen.
    void SpawnRing();

    std::shared_ptr<OrvEngine::Transform> transform;
    std::shared_ptr<OrvEngine::BoxCollider> collider;
    uint64_t player = 0;  // entity id of "Player" found by Init, 0 for none
    uint64_t spawned = 0; // entity id of the latest ring
    float timer = 0.0f;
    int32_t ring_count = 0;
    int32_t rings_left = 0;
    float max_delay = 0.0f;
    bool armed = false;
    std::vector<float> delays; // seconds from the last reset; 0 for a ring already fallen

protected:
    struct Kind {
        float max_delay;
        int32_t ring_count;
        const char* prefab;
        const char* ring_texture;
    };
    virtual Kind GetKind() const = 0;

private:
    bool PlayerInside(uint64_t zone) const;
};

class Boulder1D3SScript : public HazardZoneScript {
protected:
    Kind GetKind() const override { return {5.0f, 1, "Boulder_Prefab", "Boulder_Ring"}; }
};

class Boulder2D3SScript : public HazardZoneScript {
protected:
    Kind GetKind() const override { return {5.0f, 2, "Boulder_Prefab", "Boulder_Ring"}; }
};

class Boulder5D5SScript : public HazardZoneScript {
protected:
    Kind GetKind() const override { return {10.0f, 3, "Boulder_Prefab", "Boulder_Ring"}; }
};

class BoulderLevelScript : public HazardZoneScript {
protected:
    Kind GetKind() const override { return {3.0f, 2, "Boulder_Prefab", "Boulder_Ring"}; }
};

// Drops boulders, like the boulder zones, despite its name.
class Spikes1D4SScript : public HazardZoneScript {
protected:
    Kind GetKind() const override { return {4.0f, 1, "Boulder_Prefab", "Boulder_Ring"}; }
};

class SpikesLevelScript : public HazardZoneScript {
public:
    std::string GetName() override { return "SpikesLevelScript"; }

protected:
    Kind GetKind() const override { return {10.0f, 2, "Spike_Prefab", "Spike_Ring"}; }
};
