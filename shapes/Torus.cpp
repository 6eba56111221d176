#include <GL/gl.h>

#include <bit>
#include <cmath>

#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"

CTorus::CTorus(CInertialBody* owner, float torusTubeRadius, float torusRingRadius, float shapeMass,
               bool isVisible, bool isCollidable)
    : CShape(owner, shapeMass, isVisible, isCollidable), tubeRadius(torusTubeRadius),
      ringRadius(torusRingRadius)
{
    boundingRadius = torusTubeRadius + torusRingRadius;
}

float CTorus::PlaneContact(const CPlane& plane, CVector& point, float& lever) const
{
    const CVector& n = plane.normal;
    const CVector axis = WorldAxis();
    // Towards the ring point furthest against n; zero when lying flat, which
    // leaves the point straight below the centre.
    CVector across = Cross(axis, Cross(axis, n));
    across.Normalize();
    point = WorldCentre() + ringRadius * across - tubeRadius * n;
    lever = (tubeRadius + ringRadius) / 2.0f;
    return plane.Distance(point);
}

float CTorus::StablePlaneContact(const CPlane& plane, CVector& point, float& lever) const
{
    // Lying nearly flat, the Classic point leaps around the ring at every
    // tiny tilt (or into the hole, level). The ring is held instead at one
    // point that leaves the point below the centre towards the lowest ring
    // point as the tilt grows, and reaches it, where Classic holds it, when
    // the ring's highest and lowest points differ in height by the same
    // tolerance as a cylinder's.
    constexpr float kFlatTolerance = 0.05f;
    const CVector& n = plane.normal;
    const CVector axis = WorldAxis();
    CVector downhill = Cross(axis, Cross(axis, n));
    const float rise = 2.0f * ringRadius * FastSqrt(downhill.LengthSquared());
    if (!(rise < kFlatTolerance))
    {
        return PlaneContact(plane, point, lever);
    }
    downhill.Normalize();
    point = WorldCentre() + (ringRadius * rise / kFlatTolerance) * downhill - tubeRadius * n;
    lever = (tubeRadius + ringRadius) / 2.0f;
    return plane.Distance(point);
}

float CTorus::PointDistance(const CVector& /*point*/, CVector& /*surfacePoint*/,
                            CVector& /*normal*/) const
{
    return kInfinity;
}

void CTorus::DrawGeometry() const
{
    constexpr int kRingSteps = 32;
    constexpr int kTubeSteps = 16;
    const float r = tubeRadius;
    const float R = ringRadius;
    for (int i = 0; i < kRingSteps; ++i)
    {
        const float theta[2] = {kTwoPi * (static_cast<float>(i) / static_cast<float>(kRingSteps)),
                                kTwoPi *
                                    (static_cast<float>(i + 1) / static_cast<float>(kRingSteps))};
        // The texture runs twice around the ring.
        const float t[2] = {static_cast<float>(i) / static_cast<float>(kTubeSteps),
                            static_cast<float>(i + 1) / static_cast<float>(kTubeSteps)};
        const float cosTheta[2] = {std::cos(theta[0]), std::cos(theta[1])};
        const float sinTheta[2] = {std::sin(theta[0]), std::sin(theta[1])};
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= kTubeSteps; ++j)
        {
            const float s = static_cast<float>(j) / static_cast<float>(kTubeSteps);
            const float phi = kTwoPi * s;
            const float cosPhi = std::cos(phi);
            const float sinPhi = std::sin(phi);
            for (int e = 0; e < 2; ++e)
            {
                glTexCoord2f(s, t[e]);
                glNormal3f(cosTheta[e] * cosPhi, sinTheta[e] * cosPhi, sinPhi);
                glVertex3f((R + r * cosPhi) * cosTheta[e], (R + r * cosPhi) * sinTheta[e],
                           r * sinPhi);
            }
        }
        glEnd();
    }
}

CVector CTorus::PrincipalInertia() const
{
    // Not the textbook solid-torus moments: the bodies were tuned with these.
    const float r = tubeRadius;
    const float R = ringRadius;
    const float r2 = r * r;
    const float volume = kPi * r2 * (kPi * R + 1.3333334f * r);
    const float density = mass / volume;
    const float k = 1.5707964f * (R * R * R) + 0.375f * kPi * r2 * R + 2.0f * (R * R) * r +
                    0.26666668f * (r2 * r);
    const float c = kPi * r2 * k;
    const float across = density * (kPi * (r2 * r2) * (0.7853982f * R + 0.26666668f * r) + c);
    const float along = 2.0f * density * c;
    return CVector(across, across, along);
}

void CTorus::AppendGeometryKey(std::vector<uint32_t>& key) const
{
    key.push_back(3u);
    key.push_back(std::bit_cast<uint32_t>(tubeRadius));
    key.push_back(std::bit_cast<uint32_t>(ringRadius));
}
