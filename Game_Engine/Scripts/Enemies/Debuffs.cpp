#include "Scripts/Enemies/Debuffs.h"

#include "Components/Child.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Math.h"
#include "Scripts/ScriptHelpers.h"

#include <algorithm>
#include <cmath>
#include <string>

using namespace OrvEngine;

namespace {
struct KindData {
    int32_t kind;
    float Stats::*field;
    const char* icon_prefab;
    const char* texture_prefix;  // the level is appended
};
// In the order the icons are made and the timers run out.
const KindData kKinds[] = {
    {SPELL_ATTACK, &Stats::attack, "ATK_Debuff_UI", "ATK_Debuff_Lv"},
    {SPELL_DEFENCE, &Stats::defense, "DEF_Debuff_UI", "DEF_Debuff_Lv"},
    {SPELL_SPEED, &Stats::speed_attack, "SPD_Debuff_UI", "SPD_Debuff_Lv"},
};

const KindData* DataOf(int32_t kind)
{
    for (const KindData& data : kKinds) {
        if (data.kind == kind) return &data;
    }
    return nullptr;
}
} // namespace

void Debuffs::TakeBaseValues(const Stats& stats)
{
    for (const KindData& data : kKinds) Of(data.kind).base = TruncateToInt(stats.*data.field);
}

void Debuffs::MakeIcons(const std::shared_ptr<Parent>& parent)
{
    for (const KindData& data : kKinds) {
        Entity* icon = InstantiatePrefab(data.icon_prefab);
        Of(data.kind).icon = icon ? icon->id : 0;
        if (!icon) continue;
        auto child = icon->GetComponent<Child>(CHILD);
        if (child && parent) child->SetParent(parent);
        icon->SetActive(false);
    }
}

float Debuffs::Value(int32_t kind) const
{
    static const float kShares[] = {0.7f, 0.5f, 0.1f};
    static const int32_t kTenths[] = {7, 5};
    const Debuff& debuff = Of(kind);
    if (debuff.level < 1 || debuff.level > kMaxLevel) return static_cast<float>(debuff.base);
    if (kind == SPELL_SPEED) return static_cast<float>(debuff.base) * kShares[debuff.level - 1];
    if (debuff.level == kMaxLevel) return 1.0f;
    // Whole-number arithmetic first: in floats 10 x 0.7 may land above 7 and its ceiling be 8.
    return static_cast<float>(std::ceil(static_cast<double>(debuff.base) * kTenths[debuff.level - 1] / 10.0));
}

bool Debuffs::Hit(int32_t kind, Stats* stats, bool holds_at_max)
{
    const KindData* data = DataOf(kind);
    if (!data) return false;
    Debuff& debuff = Of(kind);
    debuff.timer = 0.0f;
    debuff.level = holds_at_max ? std::min(debuff.level + 1, kMaxLevel) : debuff.level + 1;
    if (debuff.level > kMaxLevel) return true;
    if (stats) stats->*data->field = Value(kind);
    Entity* icon = FindLiveEntity(debuff.icon);
    if (!icon) return true;
    icon->SetActive(true);
    auto sprite = icon->GetComponent<Sprite>(SPRITE);
    if (sprite) sprite->SetTexture(data->texture_prefix + std::to_string(debuff.level));
    return true;
}

uint32_t Debuffs::Expire(Stats* stats)
{
    uint32_t ended = 0;
    for (const KindData& data : kKinds) {
        Debuff& debuff = Of(data.kind);
        if (debuff.level == 0) continue;
        debuff.timer += FrameTime();
        if (debuff.timer < kDuration) continue;
        debuff.level = 0;
        debuff.timer = 0.0f;
        if (Entity* icon = FindLiveEntity(debuff.icon)) icon->SetActive(false);
        if (stats) stats->*data.field = static_cast<float>(debuff.base);
        ended |= 1u << data.kind;
    }
    return ended;
}

bool Debuffs::LiftLowHpMarker()
{
    Entity* marker = FindLiveEntity(low_hp_marker);
    if (!marker) {
        low_hp_marker = 0;
        return false;
    }
    // Kept in front of everything the foe moves past.
    if (auto transform = marker->GetComponent<Transform>(TRANSFORM)) transform->position.z += kMarkerDepthStep;
    return true;
}

void Debuffs::DropLowHpMarker()
{
    DestroyEntity(FindLiveEntity(low_hp_marker));
    low_hp_marker = 0;
}
