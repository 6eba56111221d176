#include <GL/gl.h>
#include <GL/glu.h>

#include <bit>

#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"

CSphere::CSphere(CInertialBody* owner, float sphereRadius, float shapeMass, bool isVisible,
                 bool isCollidable)
    : CShape(owner, shapeMass, isVisible, isCollidable), radius(sphereRadius)
{
    boundingRadius = sphereRadius;
}

float CSphere::PlaneContact(const CPlane& plane, CVector& point, float& lever) const
{
    point = WorldCentre() - radius * plane.normal;
    lever = radius;
    return plane.Distance(point);
}

float CSphere::PointDistance(const CVector& point, CVector& surfacePoint, CVector& normal) const
{
    const CVector centre = WorldCentre();
    const CVector v = point - centre;
    const float lengthSquared = Dot(v, v);
    const float length = lengthSquared == 0.0f ? 0.0f : FastSqrt(lengthSquared);
    normal = length != 0.0f ? v / length : CVector();
    surfacePoint = centre + radius * normal;
    return length - radius;
}

namespace
{
void DrawQuadricSphere(float radius, int slices, int stacks)
{
    GLUquadric* quadric = gluNewQuadric();
    if (quadric == nullptr)
    {
        return; // out of memory: the sphere is simply not drawn
    }
    gluQuadricTexture(quadric, GL_TRUE);
    gluSphere(quadric, radius, slices, stacks);
    gluDeleteQuadric(quadric);
}
} // namespace

void CSphere::DrawGeometry() const
{
    DrawQuadricSphere(radius, 24, 12);
}

void CSphere::DrawCoarseGeometry(int detail) const
{
    static constexpr int kSlices[kCoarseDetailLevels + 1] = {24, 16, 12, 8};
    const int level = detail < 0 ? 0 : detail > kCoarseDetailLevels ? kCoarseDetailLevels : detail;
    DrawQuadricSphere(radius, kSlices[level], kSlices[level] / 2);
}

CVector CSphere::PrincipalInertia() const
{
    const float moment = 0.4f * mass * (radius * radius);
    return CVector(moment, moment, moment);
}

void CSphere::AppendGeometryKey(std::vector<uint32_t>& key) const
{
    key.push_back(1u);
    key.push_back(std::bit_cast<uint32_t>(radius));
}
