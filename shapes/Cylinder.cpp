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

float CCylinder::StablePlaneContact(const CPlane& plane, CVector& point, float& lever) const
{
    const CVector& n = plane.normal;
    const CVector centre = WorldCentre();
    CVector axis = WorldAxis();
    const float g = Dot(axis, n);
    if (g < 0.0f)
    {
        axis = -axis;
    }
    // A cylinder lying along the plane or standing on an end touches it
    // along a line or across a face. Classic holds it at the single rim
    // point that reaches deepest, which leaps from end to end (or across the
    // face) at every tiny tilt, so that a resting log see-saws and a post
    // rocks from rim to rim. Nearly flat, the line or face is held instead at
    // one point that leaves its middle towards the lowest rim point as the
    // tilt grows, and reaches that point, where Classic holds it, when the
    // ends (or the face's rim) differ in height by this tolerance: a few
    // times the sag of a resting contact. The cylinder then rights itself in
    // proportion to its tilt, as a line or face of contact does.
    constexpr float kFlatTolerance = 0.05f;
    CVector downhill = Cross(axis, Cross(axis, n));
    const float drop = 2.0f * halfLength * std::fabs(g);
    if (drop < kFlatTolerance)
    {
        // Lying: from below the middle of the line along the cylinder towards
        // the rim of its lower end; for the spinning friction, the line's
        // half-length in the middle, the radius at the end.
        const float share = drop / kFlatTolerance;
        downhill.Normalize();
        point = centre - (share * halfLength) * axis + radius * downhill;
        lever = halfLength + share * (radius - halfLength);
        return plane.Distance(point);
    }
    // Standing on an end no wider than it is tall: from the face centre
    // towards the lowest rim point. A disk lying flat keeps the Classic
    // point, so that it slides as it always did.
    const float rise = 2.0f * radius * FastSqrt(downhill.LengthSquared());
    if (radius <= halfLength && rise < kFlatTolerance)
    {
        downhill.Normalize();
        point = centre - halfLength * axis + (radius * rise / kFlatTolerance) * downhill;
        lever = radius;
        return plane.Distance(point);
    }
    // Otherwise the Classic point, where the shape reaches deepest.
    return PlaneContact(plane, point, lever);
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
