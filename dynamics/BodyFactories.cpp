#include "dynamics/Body.h"
#include "shapes/Shape.h"

namespace
{
CInertialBody* PrepareWith(CInertialBody* body, CShape* shape)
{
    body->AddShape(shape);
    body->Prepare();
    return body;
}
} // namespace

CInertialBody* CreateSphereBody(CWorld* world, float mass, float radius)
{
    auto* body = new CInertialBody(world);
    return PrepareWith(body, new CSphere(body, radius, mass, true, true));
}

CInertialBody* CreateCylinderBody(CWorld* world, float mass, float radius, float halfLength)
{
    auto* body = new CInertialBody(world);
    return PrepareWith(body, new CCylinder(body, radius, halfLength, mass, true, true));
}

CInertialBody* CreateTorusBody(CWorld* world, float mass, float tubeRadius, float ringRadius)
{
    auto* body = new CInertialBody(world);
    return PrepareWith(body, new CTorus(body, tubeRadius, ringRadius, mass, true, true));
}
