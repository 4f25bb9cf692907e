// The spell debuffs an enemy or the boss carries: per kind (attack, defence, speed) a level that each
// hit raises and a ten-second timer each hit restarts, an icon showing the level and the Stats value
// taken at Init that the debuff lowers; and the low-health marker shown beside a weakened foe.
// Icons and marker are kept by id; a destroyed one reads as absent. Layout is the owner's.
#pragma once

#include "Logic/SpellKind.h"

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Parent;
class Stats;
} // namespace OrvEngine

struct Debuff {
    int32_t level = 0;   // 0 none, 1 to 3 in effect
    float timer = 0.0f;  // seconds since the last hit
    uint64_t icon = 0;
    int32_t base = 0;    // the Stats value at Init, truncated toward zero
};

class Debuffs {
public:
    static constexpr float kDuration = 10.0f;
    static constexpr int32_t kMaxLevel = 3;
    // How far the low-health marker moves toward the viewer each frame it stays.
    static constexpr float kMarkerDepthStep = 300.0f;

    // By spell kind (the debuff kinds have the same numbers); any other number gives defence.
    Debuff& Of(int32_t kind)
    {
        return kind == OrvEngine::SPELL_ATTACK ? attack : kind == OrvEngine::SPELL_SPEED ? speed : defence;
    }
    const Debuff& Of(int32_t kind) const { return const_cast<Debuffs*>(this)->Of(kind); }
    void TakeBaseValues(const OrvEngine::Stats& stats);
    // The three icons from their prefabs, hidden and attached to the parent (when both exist).
    void MakeIcons(const std::shared_ptr<OrvEngine::Parent>& parent);
    // The Stats value of the kind at its current level: attack and defence round up and bottom out
    // at 1 on level 3; speed keeps its fraction. Level 0 (or above 3) gives the base.
    float Value(int32_t kind) const;
    // A hit: the timer restarts and the level rises by one, held at 3 when holds_at_max (else the
    // count goes on without further effect). While the level is 1 to 3 the stat takes its value and
    // the icon shows the level. False for a kind that is no debuff.
    bool Hit(int32_t kind, OrvEngine::Stats* stats, bool holds_at_max);
    // Advances the running timers by the frame; a debuff whose time is up ends (level and timer 0,
    // icon hidden, stat back to base). Returns one bit (1 << kind) per debuff that ended.
    uint32_t Expire(OrvEngine::Stats* stats);

    // Moves a live marker one step toward the viewer; false (and the id forgotten) when there is none.
    bool LiftLowHpMarker();
    void DropLowHpMarker();

    Debuff attack;
    Debuff defence;
    Debuff speed;
    uint64_t low_hp_marker = 0;
};
