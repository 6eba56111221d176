#include <GL/gl.h>

#include <bit>
#include <cmath>

#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"

CCylinder::CCylinder(CInertialBody* owner, float cylinderRadius, float cylinderHalfLength,
                     float shapeMass, bool isVisible, bool isCollidable)
    : CShape(owner, shapeMass, isVisible, isCollidable), radius(cylinderRadius),
      halfLength(cylinderHalfLength)
{
    boundingRadius = cylinderRadius + cylinderHalfLength;
}

float CCylinder::PlaneContact(const CPlane& plane, CVector& point, float& lever) const
{
    const CVector& n = plane.normal;
    const CVector centre = WorldCentre();
    CVector axis = WorldAxis();
    const float g = Dot(axis, n);
    if (g == 0.0f)
    {
        // Lying exactly along the plane it rolls: the lever is along the axis.
        point = centre - radius * n;
        lever = halfLength;
    }
    else
    {
        if (g < 0.0f)
        {
            axis = -axis;
        }
        // Across the axis, most against n; zero when the axis is along n, which
        // leaves the centre of the lower end face.
        CVector across = Cross(axis, Cross(axis, n));
        across.Normalize();
        point = centre - halfLength * axis + radius * across;
        lever = radius;
    }
    return plane.Distance(point);
}

int CCylinder::StablePlaneContacts(const CPlane& plane, CVector points[], float depths[],
                                   float levers[]) const
{
    const CVector& n = plane.normal;
    const CVector centre = WorldCentre();
    CVector axis = WorldAxis();
    const float g = Dot(axis, n);
    if (g < 0.0f)
    {
        axis = -axis;
    }
    // Lying nearly flat: its ends then differ in height by less than this, a
    // few times the sag of a resting contact.
    constexpr float kFlatTolerance = 0.05f;
    int count = 0;
    const auto hold = [&](const CVector& point)
    {
        const float depth = plane.Distance(point);
        if (depth < 0.0f)
        {
            points[count] = point;
            depths[count] = depth;
            levers[count] = radius;
            ++count;
        }
    };
    if (2.0f * halfLength * std::fabs(g) < kFlatTolerance)
    {
        // Lying: both end rims, on the line along the plane; along the plane
        // exactly, straight down.
        CVector across = Cross(axis, Cross(axis, n));
        across.Normalize();
        hold(centre - halfLength * axis + radius * across);
        hold(centre + halfLength * axis + radius * across);
    }
    if (count == 2)
    {
        return count;
    }
    // Standing nearly upright on an end no wider than it is tall: the rim
    // point Classic holds it at would leap across the face at every tiny
    // tilt, rocking the cylinder from rim to rim. Its face is held instead at
    // one point that leaves the face centre towards the lowest rim as the
    // tilt grows, reaching the rim, as under Classic, when the rim's highest
    // and lowest points differ in height by the tolerance. The face then
    // rights itself like a face, in proportion to its tilt. A disk lying flat
    // keeps the Classic point, so that it slides as it always did.
    CVector downhill = Cross(axis, Cross(axis, n));
    const float rise = 2.0f * radius * FastSqrt(downhill.LengthSquared());
    if (radius <= halfLength && rise < kFlatTolerance)
    {
        downhill.Normalize();
        points[0] = centre - halfLength * axis + (radius * rise / kFlatTolerance) * downhill;
        depths[0] = plane.Distance(points[0]);
        levers[0] = radius;
        return 1;
    }
    // One point alone is the Classic one, where the shape reaches deepest.
    depths[0] = PlaneContact(plane, points[0], levers[0]);
    return 1;
}

float CCylinder::PointDistance(const CVector& /*point*/, CVector& /*surfacePoint*/,
                               CVector& /*normal*/) const
{
    return kInfinity;
}

void CCylinder::DrawGeometry() const
{
    const int segments = 2.0f * radius >= halfLength ? 32 : 16;
    const float r = radius;
    const float h = halfLength;
    const float steps = static_cast<float>(segments);

    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k <= segments; ++k)
    {
        const float fraction = static_cast<float>(k) / steps;
        const float angle = kTwoPi * fraction;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        glTexCoord2f(fraction, 0.0f);
        glNormal3f(c, s, 0.0f);
        glVertex3f(r * c, r * s, h);
        glTexCoord2f(fraction, 1.0f);
        glNormal3f(c, s, 0.0f);
        glVertex3f(r * c, r * s, -h);
    }
    glEnd();

    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.5f, 0.5f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, h);
    for (int k = 0; k <= segments; ++k)
    {
        const float angle = kTwoPi * (static_cast<float>(k) / steps);
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        glTexCoord2f(0.5f + 0.25f * c, 0.5f - 0.5f * s);
        glVertex3f(r * c, r * s, h);
    }
    glEnd();

    // Mirrored in y so that the bottom fan winds outwards too.
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.5f, 0.5f);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glVertex3f(0.0f, 0.0f, -h);
    for (int k = 0; k <= segments; ++k)
    {
        const float angle = kTwoPi * (static_cast<float>(k) / steps);
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        glTexCoord2f(0.5f + 0.25f * c, 0.5f - 0.5f * s);
        glVertex3f(r * c, -(r * s), -h);
    }
    glEnd();
}

CVector CCylinder::PrincipalInertia() const
{
    // 1.0471976 is pi / 3, not 1/3: the bodies were tuned with these moments.
    const float across =
        mass * (1.0471976f * (halfLength * halfLength) + 0.25f * (radius * radius));
    const float along = 0.5f * mass * (radius * radius);
    return CVector(across, across, along);
}

void CCylinder::AppendGeometryKey(std::vector<uint32_t>& key) const
{
    key.push_back(2u);
    key.push_back(std::bit_cast<uint32_t>(radius));
    key.push_back(std::bit_cast<uint32_t>(halfLength));
}
