#include <GL/gl.h>

#include <bit>
#include <cmath>

#include "dynamics/Constants.h"
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
