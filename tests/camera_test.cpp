// The camera's start view, the glide of its look-at point, and the keyboard
// orbit with its smoothing, dead zones and limits.

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <set>
#include <vector>

#include "dynamics/FastSqrt.h"
#include "render/Camera.h"
#include "render/Platform.h"

namespace
{
// Keys held as the test says; nothing else of the host is used.
class CHeldKeysPlatform : public IPlatform
{
public:
    bool IsKeyDown(int virtualKey) const override { return held.count(virtualKey) != 0; }
    EMessageResult MessageBox(const std::string&, const std::string&, EMessageButtons,
                              EMessageIcon) override
    {
        return EMessageResult::kOk;
    }
    uint32_t TimeGetTime() const override { return 0; }

    std::set<int> held;
};

constexpr float kElevationLimit = 1.5393804f;

class CameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BuildSqrtTable();
        SetPlatform(&platform);
        camera.Initialize();
    }
    void TearDown() override { SetPlatform(nullptr); }

    void Hold(const std::vector<int>& keys) { platform.held = {keys.begin(), keys.end()}; }

    CHeldKeysPlatform platform;
    CCamera camera;
};

void ExpectVectorNear(const CVector& actual, const CVector& expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The distance goes through FastSqrt, whose relative error is below 2^-16:
// 180.0007 is the exact root of 150^2 + 99.5^2, the table gives 180.
constexpr float kStartDistance = 180.0007f;
constexpr float kStartDistanceTolerance = kStartDistance / 65536.0f;

TEST_F(CameraTest, StartsBehindTheFloorLookingAlongY)
{
    EXPECT_FLOAT_EQ(camera.azimuth, -1.5707964f);
    EXPECT_NEAR(camera.elevation, 0.5856913f, 1e-5f);
    EXPECT_NEAR(camera.distance, kStartDistance, kStartDistanceTolerance);
    EXPECT_EQ(camera.eye, CVector(0.0f, -150.0f, 100.0f));
    EXPECT_EQ(camera.centre, CVector(0.0f, 0.0f, 0.5f));
    EXPECT_EQ(camera.centreVelocity, CVector());
    EXPECT_EQ(camera.azimuthRate, 0.0f);
    EXPECT_EQ(camera.elevationRate, 0.0f);
    EXPECT_EQ(camera.distanceRate, 0.0f);
}

TEST_F(CameraTest, AimGlidesTheCentreAndLeavesTheEye)
{
    const CVector p(10.0f, 20.0f, 30.0f);
    camera.Aim(p, 0.1f);
    ExpectVectorNear(camera.centreVelocity, CVector(1.0f, 2.0f, 2.95f), 1e-5f);
    ExpectVectorNear(camera.centre, CVector(5.1f, 10.2f, 15.545f), 1e-5f);
    EXPECT_EQ(camera.eye, CVector(0.0f, -150.0f, 100.0f));
    EXPECT_NEAR(camera.distance, 181.17f, 0.01f);

    camera.Aim(p, 0.1f);
    ExpectVectorNear(camera.centreVelocity, CVector(1.48f, 2.96f, 4.366f), 1e-5f);
    ExpectVectorNear(camera.centre, CVector(7.698f, 15.396f, 23.2091f), 1e-4f);
    EXPECT_EQ(camera.eye, CVector(0.0f, -150.0f, 100.0f));
    EXPECT_NEAR(camera.distance, 182.51f, 0.01f);

    // The angles follow the new line of sight from the eye that stayed put.
    const CVector d = camera.eye - camera.centre;
    EXPECT_NEAR(camera.azimuth, std::atan2(d.y, d.x), 1e-6f);
    EXPECT_NEAR(camera.elevation, std::asin(d.z / camera.distance), 1e-5f);
}

TEST_F(CameraTest, OrbitWithoutKeysOnlyRecomputesTheEye)
{
    const CCamera before = camera;
    camera.Orbit(0.02f);
    ExpectVectorNear(camera.eye, before.eye, 1e-3f);
    EXPECT_EQ(camera.azimuth, before.azimuth);
    EXPECT_EQ(camera.elevation, before.elevation);
    EXPECT_EQ(camera.distance, before.distance);
    EXPECT_EQ(camera.centre, before.centre);
}

TEST_F(CameraTest, HeldRightArrowSmoothsTheAzimuthRate)
{
    Hold({kVkRight});
    const float start = camera.azimuth;
    camera.Orbit(0.05f);
    EXPECT_FLOAT_EQ(camera.azimuthRate, 0.5f);
    EXPECT_NEAR(camera.azimuth - start, 0.025f, 1e-6f);
    const float afterFirst = camera.azimuth;
    camera.Orbit(0.05f);
    EXPECT_FLOAT_EQ(camera.azimuthRate, 0.75f);
    EXPECT_NEAR(camera.azimuth - afterFirst, 0.0375f, 1e-6f);

    // Counter-clockwise seen from above: from straight behind (-y) towards +x.
    EXPECT_GT(camera.eye.x, 0.0f);
    EXPECT_NEAR(camera.distance, kStartDistance, kStartDistanceTolerance);
}

// One call of dt 0.05 (k = 0.5) from rates (0.4, 0.4, 40): each rate becomes
// 0.2 plus half its target.
struct SKeyCase
{
    const char* name;
    std::vector<int> keys;
    float azimuthRate;
    float elevationRate;
    float distanceRate;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SKeyCase& c, std::ostream* out)
{
    *out << c.name;
}

class CameraKeyTest : public CameraTest, public ::testing::WithParamInterface<SKeyCase>
{
};

TEST_P(CameraKeyTest, KeysSetTheWantedRates)
{
    const SKeyCase& c = GetParam();
    camera.azimuthRate = 0.4f;
    camera.elevationRate = 0.4f;
    camera.distanceRate = 40.0f;
    Hold(c.keys);
    camera.Orbit(0.05f);
    EXPECT_FLOAT_EQ(camera.azimuthRate, c.azimuthRate);
    EXPECT_FLOAT_EQ(camera.elevationRate, c.elevationRate);
    EXPECT_FLOAT_EQ(camera.distanceRate, c.distanceRate);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CameraKeyTest,
    ::testing::Values(
        SKeyCase{"None", {}, 0.2f, 0.2f, 20.0f}, SKeyCase{"Right", {kVkRight}, 0.7f, 0.2f, 20.0f},
        SKeyCase{"Left", {kVkLeft}, -0.3f, 0.2f, 20.0f},
        SKeyCase{"LeftAndRight", {kVkLeft, kVkRight}, 0.2f, 0.2f, 20.0f},
        SKeyCase{"Up", {kVkUp}, 0.2f, 0.7f, 20.0f}, SKeyCase{"Down", {kVkDown}, 0.2f, -0.3f, 20.0f},
        SKeyCase{"UpAndDown", {kVkUp, kVkDown}, 0.2f, 0.2f, 20.0f},
        SKeyCase{"End", {kVkEnd}, 0.2f, 0.2f, 95.0f},
        SKeyCase{"Home", {kVkHome}, 0.2f, 0.2f, -55.0f},
        SKeyCase{"HomeAndEnd", {kVkHome, kVkEnd}, 0.2f, 0.2f, 20.0f},
        SKeyCase{"All", {kVkLeft, kVkRight, kVkUp, kVkDown, kVkHome, kVkEnd}, 0.2f, 0.2f, 20.0f}),
    [](const ::testing::TestParamInfo<SKeyCase>& info) { return info.param.name; });

TEST_F(CameraTest, DecayedRatesSnapToRestInTheDeadZone)
{
    // Halved by dt 0.05: 0.015 -> 0.0075 and 0.09 -> 0.045 fall inside the
    // zones; 0.03 -> 0.015 and 0.12 -> 0.06 stay outside.
    camera.azimuthRate = 0.015f;
    camera.elevationRate = 0.03f;
    camera.distanceRate = 0.09f;
    const float azimuth = camera.azimuth;
    const float distance = camera.distance;
    camera.Orbit(0.05f);
    EXPECT_EQ(camera.azimuthRate, 0.0f);
    EXPECT_EQ(camera.azimuth, azimuth);
    EXPECT_FLOAT_EQ(camera.elevationRate, 0.015f);
    EXPECT_EQ(camera.distanceRate, 0.0f);
    EXPECT_EQ(camera.distance, distance);

    camera.elevationRate = 0.0f;
    camera.distanceRate = 0.12f;
    camera.Orbit(0.05f);
    EXPECT_FLOAT_EQ(camera.distanceRate, 0.06f);
}

TEST_F(CameraTest, HomeStopsAtTheShortestDistance)
{
    Hold({kVkHome});
    for (int frame = 0; frame < 200; ++frame)
    {
        camera.Orbit(0.02f);
    }
    EXPECT_EQ(camera.distance, 5.0f);
    EXPECT_NEAR(camera.distanceRate, -150.0f, 1e-3f);
    EXPECT_NEAR(std::sqrt((camera.eye - camera.centre).LengthSquared()), 5.0f, 1e-4f);
    camera.Orbit(0.02f);
    EXPECT_EQ(camera.distance, 5.0f);
}

TEST_F(CameraTest, ElevationStopsShortOfThePoles)
{
    const struct
    {
        int key;
        float limit;
    } cases[] = {{kVkUp, kElevationLimit}, {kVkDown, -kElevationLimit}};
    for (const auto& c : cases)
    {
        camera.Initialize();
        Hold({c.key});
        for (int frame = 0; frame < 300; ++frame)
        {
            camera.Orbit(0.02f);
        }
        EXPECT_EQ(camera.elevation, c.limit);
        // The line of sight stays off the vertical, where +z up would be parallel to it.
        const CVector d = camera.eye - camera.centre;
        EXPECT_GT(d.x * d.x + d.y * d.y, 0.01f);
    }
}

TEST_F(CameraTest, EyeOnTheCentreKeepsTheAngles)
{
    camera.eye = camera.centre;
    const float azimuth = camera.azimuth;
    const float elevation = camera.elevation;
    camera.UpdateSpherical();
    EXPECT_EQ(camera.distance, 0.0f);
    EXPECT_EQ(camera.azimuth, azimuth);
    EXPECT_EQ(camera.elevation, elevation);

    // The orbit then puts the eye back at the shortest distance along the old line.
    camera.Orbit(0.02f);
    EXPECT_EQ(camera.distance, 5.0f);
    const CVector d = camera.eye - camera.centre;
    EXPECT_NEAR(d.x, 0.0f, 1e-5f);
    EXPECT_NEAR(d.y, -5.0f * std::cos(elevation), 1e-5f);
    EXPECT_NEAR(d.z, 5.0f * std::sin(elevation), 1e-5f);
}

TEST_F(CameraTest, EyeStraightAboveOrBelowGivesAFiniteElevation)
{
    // FastSqrt(z * z) comes out below |z| for many z; the arcsine must not see
    // a ratio outside [-1, 1].
    int belowCount = 0;
    for (float z = 1.0f; z < 200.0f; z += 0.37f)
    {
        belowCount += FastSqrt(z * z) < z ? 1 : 0;
        for (const float sign : {1.0f, -1.0f})
        {
            camera.centre = CVector(3.0f, 4.0f, 0.5f);
            camera.eye = camera.centre + CVector(0.0f, 0.0f, sign * z);
            camera.UpdateSpherical();
            ASSERT_TRUE(std::isfinite(camera.elevation)) << z;
            EXPECT_NEAR(camera.elevation, sign * 1.5707964f, 1e-6f) << z;
        }
    }
    EXPECT_GT(belowCount, 0);
}
} // namespace
