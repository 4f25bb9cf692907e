// ForceManager: the world's gravity and timed force records per entity. Owns no bodies; nothing
// in the engine adds records yet, so summed forces are (0, 0) unless code fills `forces`.
#pragma once

#include "CoreEngine/Math.h"

#include <cstdint>
#include <map>
#include <string>

namespace OrvEngine {

struct ForceRecord {
    Vec2 factor;   // type 0: factor * vector, per component
    Vec2 vector;   // types 0, 3 and any unknown type
    Vec2 fixed;    // type 1
    Vec2 part_a;   // type 2: part_a + part_b
    Vec2 part_b;
    int32_t type = 0;
    float duration = 0.0f;  // seconds until a timed record switches off
    float elapsed = 0.0f;
    uint8_t active = 0;
    uint8_t keep_active = 0;  // switched on at every step and never times out
    uint64_t entity_id = 0;
};

class ForceManager {
public:
    // One object for the process, made on first use.
    static ForceManager* GetInstance();

    // The summed active force on the entity; (0, 0) when the current scene does not hold it or it is
    // inactive. Records of one entity are expected to sit next to each other in name order.
    Vec2 GetSummedForce(const uint64_t& id) const;
    // Advances every record's timer by dt seconds.
    void AdvanceTimers(float dt);

    Vec2 gravity{0.0f, -10.0f};
    std::map<std::string, ForceRecord> forces;

private:
    ForceManager() = default;
};

} // namespace OrvEngine
