#include "Scripts/HUD/IloHealthUIScript.h"

#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
const Color kGreen(0.0f, 1.0f, 0.0f, 1.0f);
const Color kYellow(1.0f, 1.0f, 0.0f, 1.0f);
const Color kRed(1.0f, 0.0f, 0.0f, 1.0f);
// The bar turns each colour from this many tenths of the starting hp up.
constexpr int64_t kGreenFromTenths = 7;
constexpr int64_t kYellowFromTenths = 5;
constexpr int64_t kRedFromTenths = 1;

// ceil(value * tenths / 10) in whole numbers, so no float rounding moves a band edge.
int64_t CeilTenths(int64_t value, int64_t tenths)
{
    const int64_t product = value * tenths;
    return product >= 0 ? (product + 9) / 10 : product / 10;
}
} // namespace

void IloHealthUIScript::Init(Entity* entity)
{
    sprite = ComponentOf<Sprite>(entity, SPRITE);
    if (sprite) sprite->SetTint(kGreen, true);
    TakeStats();
}

Entity* IloHealthUIScript::FindShown() const { return LastEntityOfType(TAG_PLAYER); }

Entity* VavuHealthUIScript::FindShown() const { return FirstEntityOfType(TAG_AI); }

void IloHealthUIScript::TakeStats()
{
    shown_stats = ComponentOf<Stats>(FindShown(), STATS);
    if (shown_stats) max_hp = shown_stats->hp;
}

void IloHealthUIScript::Update(Entity*)
{
    // A character that joins after the bar (a prefab instanced later) is taken when it arrives.
    if (!shown_stats) TakeStats();
    if (!shown_stats || !sprite) return;
    hp = shown_stats->hp;
    if (hp >= CeilTenths(max_hp, kGreenFromTenths)) sprite->tint_color = kGreen;
    else if (hp >= CeilTenths(max_hp, kYellowFromTenths)) sprite->tint_color = kYellow;
    else if (hp >= CeilTenths(max_hp, kRedFromTenths)) sprite->tint_color = kRed;
}
