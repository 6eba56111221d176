// The eleven built-in scenes. A builder runs on an emptied world: it appends
// the scene's bodies in a fixed order (the order of contact evaluation and of
// body selection), places and orients them, and creates the pusher. It leaves
// materials and contact coefficients as the body constructors chose them.
//
// Every position is computed in single precision from its rule, and every
// random draw is made in a fixed place relative to the body constructors'
// own colour draws, so that a seed reproduces a scene exactly.

#include <cmath>
#include <memory>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/Random.h"
#include "shapes/Shape.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{

// The racks and pyramids are centred here; the ball that strikes them waits
// at (0, -30) and the pusher at (0, -50).
constexpr float kRackCentreY = 15.0f;
constexpr float kSqrt3 = 1.7320508f;

// The sides of a triangular rack of apex towards -y, as the rails around it
// lie: the outward direction from the rack's centre (the rail's x axis) and
// the direction along the side (the rail's cylinder axis).
struct SRackSide
{
    CVector outward;
    CVector along;
};

constexpr SRackSide kRackSides[3] = {
    {{0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
    {{0.8660254f, -0.5f, 0.0f}, {0.5f, 0.8660254f, 0.0f}},
    {{-0.8660254f, -0.5f, 0.0f}, {-0.5f, 0.8660254f, 0.0f}},
};

// Takes ownership of a body and appends it to the world's list.
CInertialBody* Append(CWorld* world, CInertialBody* body)
{
    world->bodies.push_back(std::unique_ptr<CInertialBody>(body));
    return body;
}

CInertialBody* AppendAt(CWorld* world, CInertialBody* body, float x, float y, float z)
{
    body->matrix.SetTranslation(x, y, z);
    return Append(world, body);
}

// The pusher always waits on the near side, outside the list.
void CreatePusher(CWorld* world, float radius, float z)
{
    CInertialBody* pusher = CreateSphereBody(world, 10.0f, radius);
    pusher->matrix.SetTranslation(0.0f, -50.0f, z);
    world->pusher.reset(pusher);
}

// Centre (x, y) of body k of row i in a triangular rack of the given rows and
// spacing, apex row first and towards -y, centroid at (0, 15).
void RackPosition(int rows, float spacing, int i, int k, float& x, float& y)
{
    const float pitch = kSqrt3 * spacing / 2.0f;
    x = -static_cast<float>(i) * spacing / 2.0f + static_cast<float>(k) * spacing;
    y = kRackCentreY + (static_cast<float>(i) - 2.0f * static_cast<float>(rows - 1) / 3.0f) * pitch;
}

// Appends a rack of single-shape bodies made by the factory, row by row.
template <typename Factory>
void AppendRack(CWorld* world, int rows, float spacing, float z, Factory make)
{
    for (int i = 0; i < rows; ++i)
    {
        for (int k = 0; k <= i; ++k)
        {
            float x = 0.0f;
            float y = 0.0f;
            RackPosition(rows, spacing, i, k, x, y);
            AppendAt(world, make(), x, y, z);
        }
    }
}

// Three rails lying along the sides of a rack, their centres at the given
// distance from the rack's centre.
void AppendRails(CWorld* world, float radius, float halfLength, float distance)
{
    for (const SRackSide& side : kRackSides)
    {
        CInertialBody* rail = CreateCylinderBody(world, 50.0f, radius, halfLength);
        rail->matrix.SetTranslation(distance * side.outward.x,
                                    kRackCentreY + distance * side.outward.y, radius);
        rail->SetAxes(side.along, side.outward);
        Append(world, rail);
    }
}

CShape* Placed(CShape* shape, float x, float y, float z)
{
    shape->matrix.SetTranslation(x, y, z);
    return shape;
}

// A spinning top standing on a massless tip; the stem is only drawn.
CInertialBody* CreateTop(CWorld* world)
{
    auto top = std::make_unique<CInertialBody>(world);
    CInertialBody* body = top.get();
    body->AddShape(Placed(new CSphere(body, 0.4f, 0.0f), 0.0f, 0.0f, -5.0f));
    body->AddShape(Placed(new CSphere(body, 3.0f, 5.0f), 0.0f, 0.0f, 0.0f));
    body->AddShape(Placed(new CSphere(body, 2.0f, 2.0f), 0.0f, 0.0f, 4.0f));
    body->AddShape(Placed(new CTorus(body, 1.0f, 5.0f, 3.0f), 0.0f, 0.0f, 2.0f));
    body->AddShape(Placed(new CCylinder(body, 0.3f, 2.0f, 0.0f, true, false), 0.0f, 0.0f, -3.0f));
    body->Prepare();
    return top.release();
}

// A roly-poly toy of random size: a hidden ballast below the centre of the
// body sphere puts the centre of mass low enough for it to right itself.
CInertialBody* CreateRolyPoly(CWorld* world)
{
    const float scale = 0.8f + 0.4f * static_cast<float>(Random()) / 32767.0f;
    auto toy = std::make_unique<CInertialBody>(world);
    CInertialBody* body = toy.get();
    body->AddShape(Placed(new CSphere(body, scale, 2.0f, false, false), 0.0f, 0.0f, -4.0f * scale));
    body->AddShape(Placed(new CSphere(body, 4.0f * scale, 10.0f), 0.0f, 0.0f, 0.0f));
    body->AddShape(Placed(new CSphere(body, 3.0f * scale, 0.0f), 0.0f, 0.0f, 5.0f * scale));
    body->Prepare();
    return toy.release();
}

// Two flat rings in one plane whose groove holds balls of radius 3.5.
CInertialBody* CreateDoubleRail(CWorld* world)
{
    auto rail = std::make_unique<CInertialBody>(world);
    CInertialBody* body = rail.get();
    body->AddShape(Placed(new CTorus(body, 1.5f, 21.0f, 10.0f), 0.0f, 0.0f, 0.0f));
    body->AddShape(Placed(new CTorus(body, 1.5f, 29.0f, 10.0f), 0.0f, 0.0f, 0.0f));
    body->Prepare();
    return rail.release();
}

// A slab of three upright cylinders side by side along x, thin along y.
CInertialBody* CreateDomino(CWorld* world)
{
    auto domino = std::make_unique<CInertialBody>(world);
    CInertialBody* body = domino.get();
    body->AddShape(Placed(new CCylinder(body, 1.2f, 6.0f, 20.0f), -2.0f, 0.0f, 0.0f));
    body->AddShape(Placed(new CCylinder(body, 1.0f, 5.8f, 20.0f), 0.0f, 0.0f, 0.0f));
    body->AddShape(Placed(new CCylinder(body, 1.2f, 6.0f, 20.0f), 2.0f, 0.0f, 0.0f));
    body->Prepare();
    return domino.release();
}

} // namespace

void CWorld::BuildBilliards1()
{
    AppendAt(this, CreateSphereBody(this, 30.0f, 3.5f), 0.0f, -30.0f, 3.5f);
    AppendRack(this, 3, 7.35f, 3.5f, [this] { return CreateSphereBody(this, 30.0f, 3.5f); });
    CreatePusher(this, 2.0f, 3.0f);
}

void CWorld::BuildRings1()
{
    AppendAt(this, CreateTorusBody(this, 50.0f, 1.5f, 6.0f), -8.0f, 0.0f, 20.0f);
    CInertialBody* tilted = CreateTorusBody(this, 50.0f, 1.5f, 6.0f);
    tilted->SetAxes(CVector(0.0f, 1.0f, 1.0f), kAxisX);
    AppendAt(this, tilted, 0.0f, 0.0f, 20.0f);
    CInertialBody* upright = CreateTorusBody(this, 50.0f, 1.5f, 6.0f);
    upright->SetAxes(kAxisY, kAxisX);
    AppendAt(this, upright, 8.0f, 0.0f, 20.0f);
    CreatePusher(this, 2.0f, 4.0f);
}

void CWorld::BuildBowling()
{
    AppendAt(this, CreateSphereBody(this, 50.0f, 4.0f), 0.0f, -30.0f, 4.0f);
    AppendRack(this, 3, 9.0f, 8.0f, [this] { return CreateCylinderBody(this, 20.0f, 2.5f, 8.0f); });
    CreatePusher(this, 2.0f, 5.0f);
}

void CWorld::BuildRailAndBalls()
{
    AppendAt(this, CreateDoubleRail(this), 0.0f, 0.0f, 1.5f);
    // Radius 25 runs midway between the rings; 4.6 is just above the height
    // at which a ball rests on both tubes.
    for (float a = 0.2f; a < kTwoPi; a += kTwoPi * 0.2f)
    {
        AppendAt(this, CreateSphereBody(this, 20.0f, 3.5f), 25.0f * std::cos(a),
                 25.0f * std::sin(a), 4.6f);
    }
    CreatePusher(this, 2.0f, 5.0f);
}

void CWorld::BuildSpinningTops()
{
    for (int i = 0; i < 2; ++i)
    {
        Append(this, CreateTop(this));
        Append(this, CreateRolyPoly(this));
    }
    Append(this, CreateSphereBody(this, 20.0f, 3.5f));
    CreatePusher(this, 1.5f, 4.0f);
    ThrowAllBodies();
}

void CWorld::BuildBilliards2()
{
    AppendAt(this, CreateSphereBody(this, 30.0f, 3.0f), 0.0f, -30.0f, 3.0f);
    AppendRack(this, 4, 6.3f, 3.0f, [this] { return CreateSphereBody(this, 30.0f, 3.0f); });
    // The rails' axes run at the inradius of the rack plus the balls' half
    // spacing and the rail radius.
    AppendRails(this, 2.0f, 12.0f, (kSqrt3 + 1.0f) * 3.15f + 2.0f);
    CreatePusher(this, 2.0f, 3.0f);
}

void CWorld::BuildDiskOnBalls()
{
    CInertialBody* disk =
        AppendAt(this, CreateCylinderBody(this, 50.0f, 12.0f, 1.0f), 0.0f, -29.0f, 7.0f);
    // A tilt of at most about 0.01 radian keeps the disk from landing on
    // every ball at once.
    const float u1 = RandomUnit();
    const float u2 = RandomUnit();
    const float u3 = RandomUnit();
    const float u4 = RandomUnit();
    disk->SetAxes(CVector(0.01f * u3, 0.01f * u4, 1.0f), CVector(0.01f * u1, 1.0f, 0.01f * u2));

    for (int j = 0; j <= 8; ++j)
    {
        const float y = -36.0f + 9.0f * static_cast<float>(j);
        if (j % 2 == 0)
        {
            AppendAt(this, CreateSphereBody(this, 30.0f, 3.0f), 0.0f, y, 3.0f);
        }
        else
        {
            AppendAt(this, CreateSphereBody(this, 30.0f, 3.0f), -6.0f, y, 3.0f);
            AppendAt(this, CreateSphereBody(this, 30.0f, 3.0f), 6.0f, y, 3.0f);
        }
    }
    CreatePusher(this, 2.0f, 6.0f);
}

void CWorld::BuildTower()
{
    AppendAt(this, CreateSphereBody(this, 50.0f, 4.0f), 0.0f, -30.0f, 4.0f);

    // Each layer crosses the one below, a little lighter and shorter, and
    // starts slightly inside it; the overlap halves from layer to layer.
    float mass = 10.0f;
    float halfLength = 15.0f;
    float z = 1.38f;
    float step = 2.805f;
    for (int layer = 0; layer < 8; ++layer)
    {
        const bool alongX = layer % 2 == 0;
        const CVector axis = alongX ? kAxisX : kAxisY;
        const float offset = 0.6f * halfLength;

        // Only the first log of a layer is jittered, by its own two draws.
        CInertialBody* first = CreateCylinderBody(this, mass, 1.5f, halfLength);
        const float jitter1 = 0.01f * RandomSigned();
        const float jitter2 = 0.01f * RandomSigned();
        if (alongX)
        {
            first->matrix.SetTranslation(jitter1, -offset + jitter2, z);
        }
        else
        {
            first->matrix.SetTranslation(-offset + jitter1, jitter2, z);
        }
        first->SetAxes(axis, kAxisZ);
        Append(this, first);

        CInertialBody* second = CreateCylinderBody(this, mass, 1.5f, halfLength);
        if (alongX)
        {
            second->matrix.SetTranslation(0.0f, offset, z);
        }
        else
        {
            second->matrix.SetTranslation(offset, 0.0f, z);
        }
        second->SetAxes(axis, kAxisZ);
        Append(this, second);

        mass *= 0.9f;
        halfLength *= 0.9f;
        step = 1.5f + step / 2.0f;
        z += step;
    }
    CreatePusher(this, 2.0f, 5.0f);
}

void CWorld::BuildBilliards3()
{
    AppendAt(this, CreateSphereBody(this, 120.0f, 3.9f), 0.0f, -30.0f, 3.9f);

    // A tetrahedral pyramid of touching balls, top layer first; the layer
    // spacing is 2.97 * sqrt(8/3). Each ball is nudged up and off by its own
    // three draws so that the pyramid never balances on exact symmetry.
    for (int rows = 1; rows <= 3; ++rows)
    {
        const float z = 3.0f + static_cast<float>(3 - rows) * 4.84999f;
        for (int i = 0; i < rows; ++i)
        {
            for (int k = 0; k <= i; ++k)
            {
                float x = 0.0f;
                float y = 0.0f;
                RackPosition(rows, 6.0f, i, k, x, y);
                CInertialBody* ball = CreateSphereBody(this, 30.0f, 3.0f);
                const float dx = 0.05f * static_cast<float>(Random()) / 32767.0f;
                const float dy = 0.05f * static_cast<float>(Random()) / 32767.0f;
                const float dz = 0.05f * static_cast<float>(Random()) / 32767.0f;
                AppendAt(this, ball, x + dx, y + dy, z + dz);
            }
        }
    }

    AppendRails(this, 2.0f, 9.0f, 8.264102f);
    // Each post stands just outside its rail.
    for (const SRackSide& side : kRackSides)
    {
        AppendAt(this, CreateCylinderBody(this, 50.0f, 2.5f, 6.0f), 12.764102f * side.outward.x,
                 kRackCentreY + 12.764102f * side.outward.y, 6.0f);
    }
    CreatePusher(this, 2.5f, 4.0f);
}

void CWorld::BuildDominoes()
{
    // Twenty-one slabs on a circle of radius 30, the gap at the near side
    // where the pusher waits; each falls onto the next along the circle.
    for (float a = 0.3f; a < kTwoPi - 0.2f; a += kTwoPi / 22.0f)
    {
        const float s = std::sin(a);
        const float c = std::cos(a);
        CInertialBody* domino = CreateDomino(this);
        domino->SetAxes(kAxisZ, CVector(s, -c, 0.0f));
        AppendAt(this, domino, 30.0f * s, -30.0f * c, 6.0f);
    }
    CreatePusher(this, 2.0f, 12.0f);
}

void CWorld::BuildRings2()
{
    // Hoops standing on edge along (10 sin 2 pi t, 90 t - 40), facing along
    // the path; the parameter step spaces them by about 9.9 of arc length.
    const float slope = kTwoPi / 9.0f;
    for (float t = 0.0f; t < 1.0f;)
    {
        const float c = std::cos(kTwoPi * t);
        CInertialBody* hoop = CreateTorusBody(this, 50.0f, 1.5f, 6.5f);
        hoop->SetAxes(CVector(kTwoPi * c / 9.0f, 1.0f, 0.0f), kAxisZ);
        AppendAt(this, hoop, 10.0f * std::sin(kTwoPi * t), 90.0f * t - 40.0f, 8.0f);
        t += 0.11f / std::sqrt(1.0f + slope * slope * c * c);
    }
    CreatePusher(this, 3.0f, 12.0f);
}
