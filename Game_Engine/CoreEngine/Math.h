// The engine's small value types (vectors, the 3x3 column-major matrix) and numeric helpers.
// 4x4 matrices for rendering are glm's.
#pragma once

#include <cstdint>

namespace OrvEngine {

struct Vec2 {
    Vec2() = default;
    Vec2(float px, float py) : x(px), y(py) {}
    float GetX() const { return x; }
    float GetY() const { return y; }
    Vec2 operator+(const Vec2& o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(float s) const { return {x * s, y * s}; }
    bool operator==(const Vec2& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Vec2& o) const { return !(*this == o); }
    // Unit vector through a fast square root; (0, 0) stays (0, 0).
    static Vec2 Normalize(const Vec2& v);
    float x = 0.0f;
    float y = 0.0f;
};

struct Vec3 {
    Vec3() = default;
    Vec3(float px, float py, float pz) : x(px), y(py), z(pz) {}
    float GetX() const { return x; }
    float GetY() const { return y; }
    float GetZ() const { return z; }
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Vec3& o) const { return !(*this == o); }
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Vec4 {
    Vec4() = default;
    Vec4(float px, float py, float pz, float pw) : x(px), y(py), z(pz), w(pw) {}
    bool operator==(const Vec4& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

// Column-major: m[0..2] first column, m[6], m[7] the translation.
struct Mat3 {
    Mat3() = default;
    static Mat3 Identity();
    Mat3 operator*(const Mat3& b) const;
    // Rotation of a whole number of degrees from the sine and cosine tables.
    static Mat3 RotateDeg(int32_t degrees);
    float m[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
};

// Cosine of a whole number of degrees from the table.
float AngleTableLookup(int32_t degrees);
// Sine of a whole number of degrees from the table.
float SineTableLookup(int32_t degrees);

// A random integer in [min, max] from the engine's 15-bit generator; swapped bounds are accepted.
int RandomRange(int min, int max);

// Truncation toward zero that stays defined for values an int cannot hold: they stop at the int's
// ends, and NaN gives 0.
int32_t TruncateToInt(float value);

} // namespace OrvEngine
