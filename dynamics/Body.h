#pragma once
// Bodies: a rigid group of shapes that moves as one. CBody is the drawable
// group with its contact coefficients; CInertialBody adds mass, moments,
// velocities and the force accumulators, integrates itself over a fixed step
// and can throw itself into the playing area at random.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/ContactAnchor.h"
#include "dynamics/ContactLog.h"
#include "dynamics/ObjectPool.h"
#include "dynamics/PenaltyLaw.h"
#include "dynamics/Plane.h"
#include "dynamics/Vector.h"
#include "render/Drawable.h"

class CShape;
class CWorld;

class CBody : public CDrawable
{
public:
    explicit CBody(CWorld* world);
    // Deletes the shapes from the last to the first.
    ~CBody() override;

    // Bodies live side by side in the physics pool, in creation order.
    static void* operator new(std::size_t size) { return AllocatePhysicsObject(size); }
    static void operator delete(void* body, std::size_t size) noexcept
    {
        FreePhysicsObject(body, size);
    }

    // Shapes' inverses, the bounding radius (once), then the display lists.
    void Prepare() override;
    // Every shape's Draw, in list order.
    void DrawGeometry() override;
    // Every shape's type, dimensions, visibility and placement in the body.
    bool GeometryKey(std::vector<uint32_t>& key) const override;
    // When every visible shape has coarser geometry.
    bool HasCoarseGeometry() const override;
    void DrawCoarseGeometry(int detail) override;

    // Takes ownership and appends.
    void AddShape(CShape* shape);

    // Works out every shape's world centre and axis once, for a caller that
    // then holds the matrix and the shapes still until the drop: in one step
    // a shape meets the planes and every shape of every body near it. The
    // values are computed as CShape::WorldCentre and WorldAxis compute them.
    void KeepShapePlacements();
    void DropShapePlacements() { shapePlacementsKept = false; }

    // Owned; each shape's matrix is its placement in body coordinates.
    std::vector<std::unique_ptr<CShape>, SPhysicsAllocator<std::unique_ptr<CShape>>> shapes;
    // World units about the body origin; 0 until computed.
    float boundingRadius = 0.0f;
    float restitution = 0.7f;
    float friction = 0.4f;
    // Set by KeepShapePlacements: every shape's world centre and axis have
    // been worked out and are read from the shape until the drop.
    bool shapePlacementsKept = false;
};

class CInertialBody : public CBody
{
public:
    // Zero state and a random material (three colour draws).
    explicit CInertialBody(CWorld* world);

    // Mass, centre of mass (shifting the shapes), moments, then CBody::Prepare.
    void Prepare() override;

    void SetVelocity(const CVector& velocity) { linearVelocity = velocity; }
    // Gravity into the force; torque and contact count to zero.
    void ClearForces();
    // One step of h seconds, in the fixed order of the dynamics.
    void Integrate(float h);
    // Rebuilds the orientation from a wanted z axis and an x hint.
    void SetAxes(const CVector& zAxis, const CVector& xAxis);
    // A new random position, orientation, velocity and spin.
    void ThrowRandomly();
    // Penalty contact of every collidable shape against a fixed plane.
    void CollidePlane(const CPlane& plane, float planeRestitution, float planeFriction);
    // The same under the Stable model, over a step of h seconds: static
    // friction through each contact's anchor, and a cylinder lying or
    // standing flat held at a point that moves smoothly as it tilts.
    void CollidePlaneStable(const CPlane& plane, float planeRestitution, float planeFriction,
                            float h);

    // The anchor of a contact with a plane or another body (other) between
    // shapes of the given indices; a fresh one when the contact is new.
    SContactAnchor& Anchor(const void* other, uint32_t shapeIndices);
    // After a step: drops the anchors of contacts that have opened.
    void ForgetOpenAnchors();

    CVector Position() const { return matrix.Translation(); }

    // Where this body's contacts are written while the user watches them;
    // null otherwise. Not owned.
    CContactLog* contactLog = nullptr;
    float mass = 0.0f;
    // (I1, I2, I3) about the body axes through the centre of mass.
    CVector moments;
    // World coordinates, length units per second.
    CVector linearVelocity;
    // Body coordinates, radians per second: the integrated state.
    CVector angularVelocity;
    // The same in world coordinates, derived by each integration and throw.
    CVector worldAngularVelocity;
    // World coordinates, accumulated during the current step.
    CVector force;
    // World coordinates, about the centre of mass.
    CVector torque;
    // Contact points that added to the accumulators in this step.
    uint32_t contactCount = 0;
    // The Stable model's memory of its contacts; empty under Classic.
    std::vector<SContactAnchor, SPhysicsAllocator<SContactAnchor>> anchors;
    // The Stable model's coefficients against the last plane it met, kept
    // since a body meets the same floor step after step.
    SKeptPlaneCoefficients planeCoefficients;
};

// Prepared single-shape bodies at the origin with identity orientation.
CInertialBody* CreateSphereBody(CWorld* world, float mass, float radius);
CInertialBody* CreateCylinderBody(CWorld* world, float mass, float radius, float halfLength);
CInertialBody* CreateTorusBody(CWorld* world, float mass, float tubeRadius, float ringRadius);
