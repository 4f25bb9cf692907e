// The bot of GameBot.h playing as a first-time player: he fights what is nearest without weighing
// which spell the fight needs, and calls Dora back only once her bar shows half.
#include "GameBot.h"

#include "Logic/AIMovement.h"
#include "Scripts/Companion/AIScript.h"

#include <cmath>

using namespace OrvEngine;

namespace OrvTest {

namespace {

// A spell flies a few steps: a foe further off is walked up to.
constexpr float kFurthest = 6.5f, kKeep = 3.0f;

// The next unlocked spell after `turn` in the order Up, Left, Right; 0 when all are locked.
uint64_t SpellInTurn(const PlayerController& ilo, size_t& turn)
{
    const uint64_t keys[] = {Platform::VK_UP_KEY, Platform::VK_LEFT_KEY, Platform::VK_RIGHT_KEY};
    const bool locked[] = {ilo.lock_attack_spell, ilo.lock_defence_spell, ilo.lock_speed_spell};
    for (size_t tried = 0; tried < 3; ++tried, ++turn) {
        if (!locked[turn % 3]) return keys[turn++ % 3];
    }
    return 0;
}

} // namespace

// The nearest foe in view that spells still weaken: Ilo steps into its row and casts the next
// spell in turn at it. Foes only appearing or beaten are waited for where he stands.
bool GameBot::FightAsFirstTimer()
{
    PlayerController* ilo = IloController();
    const Vec3 at = PositionOf("Player");
    auto distance = [&](Entity* e) { return std::hypot(PositionOf(e).x - at.x, PositionOf(e).y - at.y); };
    bool fight_in_view = false;
    Entity* foe = nullptr;
    for (Entity* e : EntitiesWhere([](Entity* e) { return TagOf(e) == TAG_ENEMY || TagOf(e) == TAG_BOSS; })) {
        if (!InFight(e) || std::fabs(PositionOf(e).x - at.x) > HalfView() - 0.5f) continue;
        fight_in_view = true;
        if (Alive(e) && (!foe || distance(e) < distance(foe))) foe = e;
    }
    if (!fight_in_view) return false;
    heading_ = 1.0f;
    if (!foe || ilo->state == PS_Cast || frame - cast_at_ < 20) {
        keys_.ReleaseAll();
        return true;
    }
    const float line = SpellLine(foe);
    const float side = at.x <= PositionOf(foe).x ? -1.0f : 1.0f;
    const float dx = std::fabs(PositionOf(foe).x - at.x);
    if (std::fabs(at.y - line) > 0.25f || dx > kFurthest) {
        const float x = dx > kFurthest ? PositionOf(foe).x + side * kKeep : at.x;
        WalkTo(x, line, 0.2f);
        return true;
    }
    keys_.ReleaseAll();
    const int32_t facing = side < 0.0f ? 1 : 0;
    if (ilo->facing != facing) {
        PressKey(facing == 1 ? 'D' : 'A');
        return true;
    }
    const uint64_t spell = SpellInTurn(*ilo, next_spell_);
    if (spell == 0) return true;
    PressKey(spell);
    cast_at_ = frame;
    ++visits.back().spells_cast;
    return true;
}

// Down whenever Dora is at half her health or below and the call is ready again.
void GameBot::CallDoraWhenLow()
{
    Entity* dora = Companion();
    auto* script = ScriptOf<AIScript>(dora);
    auto movement = PartOf<AIMovement>(dora, AIMOVEMENT);
    if (!script || !movement || script->GetCooldownLeft() > 0.0f || frame - recalled_at_ < 20) return;
    if (static_cast<int64_t>(HpOf(dora)) * 2 > static_cast<int64_t>(movement->max_hp)) return;
    PressKey(Platform::VK_DOWN_KEY);
    recalled_at_ = frame;
}

} // namespace OrvTest
