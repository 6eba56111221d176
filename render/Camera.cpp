#include "render/Camera.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "dynamics/FastSqrt.h"
#include "render/Platform.h"

namespace
{
constexpr float kElevationLimit =
    1.5393804f; // 0.49 pi: the view's up (+z) never meets the line of sight
constexpr float kMinimumDistance = 5.0f;
constexpr float kAngularDeadZone = 0.01f;
constexpr float kDistanceDeadZone = 0.05f;

// +1 when only the first key is held, -1 when only the second, 0 otherwise.
float KeyAxis(const IPlatform& platform, int positiveKey, int negativeKey)
{
    const bool positive = platform.IsKeyDown(positiveKey);
    const bool negative = platform.IsKeyDown(negativeKey);
    if (positive == negative)
    {
        return 0.0f;
    }
    return positive ? 1.0f : -1.0f;
}
} // namespace

void CCamera::Initialize()
{
    eye = CVector(0.0f, -150.0f, 100.0f);
    centre = CVector(0.0f, 0.0f, 0.5f);
    centreVelocity = CVector();
    UpdateSpherical();
    azimuthRate = 0.0f;
    elevationRate = 0.0f;
    distanceRate = 0.0f;
}

void CCamera::UpdateSpherical()
{
    const CVector d = eye - centre;
    distance = FastSqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    // With the eye on the look-at point there is no direction to measure: the
    // angles keep their last values so that Orbit can place the eye again.
    if (distance == 0.0f)
    {
        return;
    }
    azimuth = std::atan2(d.y, d.x);
    // FastSqrt may come out a hair below |d.z| when the eye is straight above
    // or below the look-at point.
    elevation = std::asin(std::clamp(d.z / distance, -1.0f, 1.0f));
}

void CCamera::Aim(const CVector& p, float dt)
{
    centreVelocity = (1.0f - 0.1f * dt) * centreVelocity + 0.1f * (p - centre);
    centre = (1.0f - 5.0f * dt) * centre + 5.0f * dt * p + dt * centreVelocity;
    UpdateSpherical();
}

void CCamera::Orbit(float dt)
{
    const IPlatform& platform = Platform();
    const float azimuthTarget = KeyAxis(platform, kVkRight, kVkLeft);
    const float elevationTarget = KeyAxis(platform, kVkUp, kVkDown);
    const float distanceTarget = 150.0f * KeyAxis(platform, kVkEnd, kVkHome);

    const float k = 10.0f * dt;
    azimuthRate = (1.0f - k) * azimuthRate + k * azimuthTarget;
    elevationRate = (1.0f - k) * elevationRate + k * elevationTarget;
    distanceRate = (1.0f - k) * distanceRate + k * distanceTarget;

    // Snapping the decayed rates to zero brings the eye to rest exactly.
    if (std::fabs(azimuthRate) < kAngularDeadZone)
    {
        azimuthRate = 0.0f;
    }
    if (std::fabs(elevationRate) < kAngularDeadZone)
    {
        elevationRate = 0.0f;
    }
    if (std::fabs(distanceRate) < kDistanceDeadZone)
    {
        distanceRate = 0.0f;
    }

    azimuth += dt * azimuthRate;
    elevation += dt * elevationRate;
    distance += dt * distanceRate;

    if (elevation < -kElevationLimit)
    {
        elevation = -kElevationLimit;
    }
    if (elevation > kElevationLimit)
    {
        elevation = kElevationLimit;
    }
    if (distance < kMinimumDistance)
    {
        distance = kMinimumDistance;
    }

    const float cosElevation = std::cos(elevation);
    eye = centre + distance * CVector(cosElevation * std::cos(azimuth),
                                      cosElevation * std::sin(azimuth), std::sin(elevation));
}

void CCamera::ApplyView() const
{
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 0.0, 1.0);
}
