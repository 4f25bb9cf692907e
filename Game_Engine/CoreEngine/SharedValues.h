// The values the game's rules share between every instance of a class rather than keep per
// object, and the prefab name counter: one record, so a new run (each test) resets them together
// (ResetGlobals). Nothing here is saved.
#pragma once

#include "CoreEngine/Math.h"

#include <cstdint>

namespace OrvEngine {

struct SharedValues {
    // Suffix of the next prefab instance whose name is taken; one counter for every prefab.
    uint64_t archetype_name_counter = 1;
    // Player controllers: the last frame of a hurt reaction, and when the last purification
    // cooldown began.
    float last_hurt_frame = 0.0f;
    float purification_cooldown_start = 0.0f;
    // Enemy movements: when the debuff levels last wore off.
    float debuff_reset_time = 0.0f;
    bool debuff_reset_time_set = false;
    // Companion movement: the offset to its target when the last contact began.
    Vec2 companion_contact_offset;
    // Cameras: frames counted by the shake, and the height it returns to.
    uint64_t camera_shake_counter = 0;
    float camera_rest_height = 0.0f;
    bool camera_rest_height_taken = false;
    // Colliders: raised by every change of a box, so the collision pass knows its cache is stale.
    uint64_t collider_geometry_version = 0;
    // Damage numbers: the phase of their bobbing, in degrees.
    int32_t number_bob_counter = 0;
};

SharedValues& Shared();

} // namespace OrvEngine
