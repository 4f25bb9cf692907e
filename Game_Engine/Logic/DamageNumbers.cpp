#include "Logic/DamageNumbers.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/Spawn.h"

#include <limits>
#include <string>

namespace OrvEngine {

namespace {
constexpr float kDigitStep = 0.1f;
constexpr float kDigitDepth = 5.0f;
constexpr float kLowTargetOffset = -1.0f;

// The enemies ("Def_Enemy", "Atk_Enemy", "Spd_Enemy") are drawn lower than the player and Dora.
bool SitsLow(const std::string& name)
{
    return name.rfind("De", 0) == 0 || name.rfind("A", 0) == 0 || name.rfind("S", 0) == 0;
}
} // namespace

void SpawnDamageNumber(int value, Entity* target)
{
    if (value <= 0 || !target) return;
    auto target_transform = target->GetComponent<Transform>(TRANSFORM);
    if (!target_transform) return;
    auto info = target->GetComponent<Information>(INFORMATION);
    const float offset = info && SitsLow(info->name) ? kLowTargetOffset : 0.0f;
    // Copied first: making the digits runs their scripts, which must not move the origin.
    const Vec3 origin = target_transform->position;
    const std::string digits = std::to_string(value);
    for (size_t i = 0; i < digits.size(); ++i) {
        Entity* digit = InstantiatePrefab("NumberPrefab");
        if (!digit) return;
        const float step = kDigitStep * static_cast<float>(i);
        if (auto transform = digit->GetComponent<Transform>(TRANSFORM)) {
            transform->position = Vec3(origin.x + step, origin.y + offset + step, origin.z + kDigitDepth);
        }
        if (auto sprite = digit->GetComponent<Sprite>(SPRITE)) sprite->SetTexture(std::string("UI_Num_") + digits[i]);
    }
}

void SpawnDamageNumber(float value, Entity* target)
{
    // Also refuses NaN; values beyond the int range show the largest int rather than overflow.
    if (!(value >= 1.0f)) return;
    const float largest = static_cast<float>(std::numeric_limits<int>::max());
    SpawnDamageNumber(value >= largest ? std::numeric_limits<int>::max() : static_cast<int>(value), target);
}

} // namespace OrvEngine
