// Hit point loss for the hazards: hp minus damage, held at the lowest int instead of wrapping.
#pragma once

#include <cstdint>
#include <limits>

inline int32_t LoseHitPoints(int32_t hp, int32_t damage)
{
    const int64_t left = static_cast<int64_t>(hp) - damage;
    return left < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(left);
}
