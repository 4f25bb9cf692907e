#include "CoreEngine/Math.h"

#include "Platform/Platform.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace OrvEngine {

namespace {
// Halving a float's bits halves its exponent; adding this restores the bias, giving a first guess at a root.
constexpr int32_t kRootGuessBias = 532000000;

struct AngleTables {
    std::array<float, 180> sine{};
    std::array<float, 180> cosine{};
    AngleTables()
    {
        for (int d = 0; d < 180; ++d) {
            const double r = d * 3.14159265358979323846 / 180.0;
            sine[d] = static_cast<float>(std::sin(r));
            cosine[d] = static_cast<float>(std::cos(r));
        }
        // Exact values where rounding would leave a tiny residue.
        cosine[90] = 0.0f;
        sine[0] = 0.0f;
    }
};

const AngleTables& Tables()
{
    static const AngleTables tables;
    return tables;
}

// Reduces to [0, 360) and folds into the tables' [0, 180) range: sin(d) = -sin(d - 180),
// cos(d) = -cos(d - 180).
std::pair<float, float> SinCos(int32_t degrees)
{
    int d = degrees % 360;
    if (d < 0) d += 360;
    float sign = 1.0f;
    if (d >= 180) {
        d -= 180;
        sign = -1.0f;
    }
    return {sign * Tables().sine[d], sign * Tables().cosine[d]};
}
} // namespace

Vec2 Vec2::Normalize(const Vec2& v)
{
    const float s = v.x * v.x + v.y * v.y;
    int32_t bits;
    std::memcpy(&bits, &s, sizeof bits);
    bits = (bits >> 1) + kRootGuessBias;
    float g;
    std::memcpy(&g, &bits, sizeof g);
    if (s == 0.0f) return v;
    const float big_g = s / g + g;
    const float length = s / big_g + big_g * 0.25f;
    if (length == 0.0f) return v;
    return {v.x / length, v.y / length};
}

Mat3 Mat3::Identity()
{
    Mat3 r;
    r.m[0] = r.m[4] = r.m[8] = 1.0f;
    return r;
}

Mat3 Mat3::operator*(const Mat3& b) const
{
    Mat3 r;
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < 3; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k) sum += m[k * 3 + row] * b.m[col * 3 + k];
            r.m[col * 3 + row] = sum;
        }
    }
    return r;
}

Mat3 Mat3::RotateDeg(int32_t degrees)
{
    auto [s, c] = SinCos(degrees);
    Mat3 r = Identity();
    r.m[0] = c;
    r.m[1] = -s;
    r.m[3] = s;
    r.m[4] = c;
    return r;
}

float AngleTableLookup(int32_t degrees) { return SinCos(degrees).second; }
float SineTableLookup(int32_t degrees) { return SinCos(degrees).first; }

int RandomRange(int min, int max)
{
    if (max < min) std::swap(min, max);
    const int64_t span = static_cast<int64_t>(max) - static_cast<int64_t>(min) + 1;
    return static_cast<int>(min + Platform::Random15() % span);
}

int32_t TruncateToInt(float value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483647.0f) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

} // namespace OrvEngine
