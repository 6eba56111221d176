#include "shapes/Shape.h"

#include <GL/gl.h>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"

CShape::CShape(CInertialBody* owner, float shapeMass, bool isVisible, bool isCollidable)
    : body(owner), visible(isVisible ? 1 : 0), collidable(isCollidable ? 1 : 0), mass(shapeMass),
      boundingRadius(kInfinity)
{
}

CVector CShape::BodyInertia() const
{
    CVector inertia = PrincipalInertia();
    const float tx = matrix[12];
    const float ty = matrix[13];
    const float tz = matrix[14];
    // Deliberately partial parallel-axis terms: the scenes' bodies were tuned
    // with exactly these moments (an offset along y alone adds nothing, and an
    // offset in x and y together adds only the x terms).
    if (tz != 0.0f && tx * ty == 0.0f)
    {
        const float term = mass * (tz * tz);
        inertia.x += term;
        inertia.y += term;
    }
    if (tx != 0.0f && ty * tz == 0.0f)
    {
        const float term = mass * (tx * tx);
        inertia.y += term;
        inertia.z += term;
    }
    return inertia;
}

void CShape::Draw(int detail) const
{
    if (visible == 0)
    {
        return;
    }
    glPushMatrix();
    glMultMatrixf(matrix.m);
    if (detail == 0)
    {
        DrawGeometry();
    }
    else
    {
        DrawCoarseGeometry(detail);
    }
    glPopMatrix();
}

float CShape::StablePlaneContact(const CPlane& plane, CVector& point, float& lever) const
{
    return PlaneContact(plane, point, lever);
}

bool CShape::HasCoarseGeometry() const
{
    return false;
}

void CShape::DrawCoarseGeometry(int) const
{
    DrawGeometry();
}
