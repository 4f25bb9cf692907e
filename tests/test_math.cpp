// Vector and matrix math: table rotations, the fast normalisation, random ranges, point picking.
#include "TestSupport.h"

#include "Components/Transform.h"
#include "CoreEngine/Math.h"

#include <climits>
#include <cmath>

using namespace OrvEngine;

namespace {

void ExpectRotation(const Mat3& m, float m0, float m1, float m3, float m4)
{
    EXPECT_FLOAT_EQ(m.m[0], m0);
    EXPECT_FLOAT_EQ(m.m[1], m1);
    EXPECT_FLOAT_EQ(m.m[3], m3);
    EXPECT_FLOAT_EQ(m.m[4], m4);
    EXPECT_EQ(m.m[2], 0.0f);
    EXPECT_EQ(m.m[5], 0.0f);
    EXPECT_EQ(m.m[6], 0.0f);
    EXPECT_EQ(m.m[7], 0.0f);
    EXPECT_EQ(m.m[8], 1.0f);
}

bool SameMatrix(const Mat3& a, const Mat3& b)
{
    for (int i = 0; i < 9; ++i) {
        if (a.m[i] != b.m[i]) return false;
    }
    return true;
}

class MathTest : public OrvTest::EngineTest {};

} // namespace

TEST(Math, RotateDegAtTheQuarterTurnsAndBeyondAFullTurn)
{
    ExpectRotation(Mat3::RotateDeg(0), 1, 0, 0, 1);
    ExpectRotation(Mat3::RotateDeg(90), 0, -1, 1, 0);
    ExpectRotation(Mat3::RotateDeg(-90), 0, 1, -1, 0);
    ExpectRotation(Mat3::RotateDeg(180), -1, 0, 0, -1);
    ExpectRotation(Mat3::RotateDeg(360), 1, 0, 0, 1);
    EXPECT_TRUE(SameMatrix(Mat3::RotateDeg(450), Mat3::RotateDeg(90)));
    EXPECT_TRUE(SameMatrix(Mat3::RotateDeg(-450), Mat3::RotateDeg(-90)));
    EXPECT_TRUE(SameMatrix(Mat3::RotateDeg(INT_MIN), Mat3::RotateDeg(INT_MIN % 360)));
}

TEST(Math, TableLookupsMatchTheLibraryForEveryWholeDegree)
{
    for (int d = -720; d <= 720; ++d) {
        const double r = d * 3.14159265358979323846 / 180.0;
        ASSERT_NEAR(AngleTableLookup(d), std::cos(r), 1e-6) << d;
        ASSERT_NEAR(SineTableLookup(d), std::sin(r), 1e-6) << d;
        const Mat3 m = Mat3::RotateDeg(d);
        ASSERT_EQ(m.m[0], AngleTableLookup(d));
        ASSERT_EQ(m.m[3], SineTableLookup(d));
    }
}

TEST(Math, NormalizeStaysWithinAThousandthOverOrdinaryLengths)
{
    EXPECT_EQ(Vec2::Normalize(Vec2(0, 0)), Vec2(0, 0));
    const Vec2 n = Vec2::Normalize(Vec2(3, 4));
    EXPECT_NEAR(n.x, 0.6f, 1e-3);
    EXPECT_NEAR(n.y, 0.8f, 1e-3);
    for (double length = 1e-3; length < 1e6; length *= 1.37) {
        for (int deg = 0; deg < 360; deg += 7) {
            const double r = deg * 3.14159265358979323846 / 180.0;
            const Vec2 v(static_cast<float>(length * std::cos(r)), static_cast<float>(length * std::sin(r)));
            const Vec2 u = Vec2::Normalize(v);
            const double size = std::sqrt(double(u.x) * u.x + double(u.y) * u.y);
            ASSERT_NEAR(size, 1.0, 1e-3) << "length " << length << " angle " << deg;
            ASSERT_GE(u.x * v.x + u.y * v.y, 0.0f);
        }
    }
}

TEST_F(MathTest, RandomRangeHandlesOneValueSwappedBoundsAndTheWholeIntRange)
{
    Platform::SeedRandom(1234);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(RandomRange(3, 3), 3);
    bool low = false;
    bool high = false;
    for (int i = 0; i < 2000; ++i) {
        const int r = RandomRange(10, -10);
        ASSERT_GE(r, -10);
        ASSERT_LE(r, 10);
        low = low || r == -10;
        high = high || r == 10;
    }
    EXPECT_TRUE(low && high) << "both ends of a swapped range are reachable";
    for (int i = 0; i < 200; ++i) {
        const int r = RandomRange(INT_MIN, INT_MAX);
        ASSERT_GE(r, INT_MIN);
        ASSERT_LE(r, INT_MAX);
    }
    EXPECT_EQ(RandomRange(INT_MAX, INT_MAX), INT_MAX);
}

TEST_F(MathTest, IsPointInEntityIncludesTheEdgesAndIgnoresTheScaleSign)
{
    Entity entity;
    EXPECT_FALSE(IsPointInEntity(0, 0, &entity)) << "no Transform";
    EXPECT_FALSE(IsPointInEntity(0, 0, nullptr));
    auto transform = std::make_shared<Transform>();
    transform->position = Vec3(1.0f, 2.0f, 0.0f);
    transform->scale = Vec3(-2.0f, 4.0f, 0.0f);
    entity.AddComponent(TRANSFORM, transform);
    EXPECT_TRUE(IsPointInEntity(0.0f, 0.0f, &entity));
    EXPECT_TRUE(IsPointInEntity(2.0f, 4.0f, &entity));
    EXPECT_TRUE(IsPointInEntity(1.0f, 2.0f, &entity));
    EXPECT_FALSE(IsPointInEntity(2.001f, 2.0f, &entity));
    EXPECT_FALSE(IsPointInEntity(1.0f, -0.001f, &entity));
    transform->rotation = 45.0f;
    EXPECT_TRUE(IsPointInEntity(2.0f, 4.0f, &entity)) << "rotation is ignored";
}
