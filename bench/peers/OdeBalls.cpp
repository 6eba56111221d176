// The ball drop in ODE: a hash space for the broad phase, one contact joint per touching pair
// made in the near callback, the iterative QuickStep solver (the direct solver is cubic in the
// number of constraints and meant for small systems), all on the calling thread.

#include "BallDrop.h"

#include <ode/ode.h>

namespace
{

// ODE takes its coefficients per contact, so each plane carries its pair's restitution.
struct SPlaneSurface
{
    double restitution;
};

const SPlaneSurface kFloorSurface{kBallFloorRestitution};
const SPlaneSurface kWallSurface{kBallWallRestitution};

constexpr int kMaxContactsPerPair = 4;   // a sphere against a sphere or a plane makes one
constexpr int kQuickStepIterations = 20; // ODE's default, stated so it stays fixed
constexpr double kBounceVelocity = 0.1;  // below this approach speed a contact does not bounce

class COdeBalls final : public CPeerWorld
{
public:
    explicit COdeBalls(const std::vector<SPoint>& start)
    {
        dInitODE2(0);
        dAllocateODEDataForThread(dAllocateMaskAll);
        m_world = dWorldCreate();
        m_space = dHashSpaceCreate(nullptr);
        // Cells of 4 to 16 units around the balls' 7-unit boxes.
        dHashSpaceSetLevels(m_space, 2, 4);
        m_contacts = dJointGroupCreate(0);
        dWorldSetGravity(m_world, 0, 0, -kGravity);
        dWorldSetQuickStepNumIterations(m_world, kQuickStepIterations);
        dWorldSetAutoDisableFlag(m_world, 0);

        // Plane a x + b y + c z = d with (a, b, c) pointing into the box.
        SetSurface(dCreatePlane(m_space, 0, 0, 1, 0), kFloorSurface);
        SetSurface(dCreatePlane(m_space, 1, 0, 0, -kBoxHalfX), kWallSurface);
        SetSurface(dCreatePlane(m_space, -1, 0, 0, -kBoxHalfX), kWallSurface);
        SetSurface(dCreatePlane(m_space, 0, 1, 0, -kBoxHalfY), kWallSurface);
        SetSurface(dCreatePlane(m_space, 0, -1, 0, -kBoxHalfY), kWallSurface);

        m_balls.reserve(start.size());
        for (const SPoint& p : start)
        {
            const dBodyID body = dBodyCreate(m_world);
            dMass mass;
            dMassSetSphereTotal(&mass, kBallMass, kBallRadius);
            dBodySetMass(body, &mass);
            dBodySetPosition(body, p.x, p.y, p.z);
            const dGeomID geom = dCreateSphere(m_space, kBallRadius);
            dGeomSetBody(geom, body);
            m_balls.push_back(body);
        }
    }

    ~COdeBalls() override
    {
        dJointGroupDestroy(m_contacts);
        dSpaceDestroy(m_space); // destroys the geoms it holds
        dWorldDestroy(m_world); // and the bodies
        dCloseODE();
    }

    COdeBalls(const COdeBalls&) = delete;
    COdeBalls& operator=(const COdeBalls&) = delete;

    void Step() override
    {
        dSpaceCollide(m_space, this, &COdeBalls::NearCallback);
        dWorldQuickStep(m_world, kStep);
        dJointGroupEmpty(m_contacts);
    }

    void ReadPositions(std::vector<SPoint>& out) const override
    {
        out.clear();
        for (const dBodyID body : m_balls)
        {
            const dReal* p = dBodyGetPosition(body);
            out.push_back({p[0], p[1], p[2]});
        }
    }

private:
    static void SetSurface(dGeomID plane, const SPlaneSurface& surface)
    {
        dGeomSetData(plane, const_cast<SPlaneSurface*>(&surface));
    }

    static void NearCallback(void* data, dGeomID a, dGeomID b)
    {
        COdeBalls& self = *static_cast<COdeBalls*>(data);
        const dBodyID bodyA = dGeomGetBody(a);
        const dBodyID bodyB = dGeomGetBody(b);
        if (!bodyA && !bodyB)
            return; // two planes

        dContactGeom geoms[kMaxContactsPerPair];
        const int count = dCollide(a, b, kMaxContactsPerPair, geoms, sizeof(dContactGeom));
        if (count == 0)
            return;

        double restitution = kBallBallRestitution;
        double friction = kBallBallFriction;
        if (!bodyA || !bodyB)
        {
            const dGeomID plane = bodyA ? b : a;
            restitution = static_cast<const SPlaneSurface*>(dGeomGetData(plane))->restitution;
            friction = kBallPlaneFriction;
        }
        for (int i = 0; i < count; ++i)
        {
            dContact contact{};
            contact.geom = geoms[i];
            // Approx1: the friction pyramid scaled by the normal force, i.e. Coulomb friction.
            contact.surface.mode = dContactBounce | dContactApprox1;
            contact.surface.mu = friction;
            contact.surface.bounce = restitution;
            contact.surface.bounce_vel = kBounceVelocity;
            const dJointID joint = dJointCreateContact(self.m_world, self.m_contacts, &contact);
            dJointAttach(joint, bodyA, bodyB);
        }
    }

    dWorldID m_world = nullptr;
    dSpaceID m_space = nullptr;
    dJointGroupID m_contacts = nullptr;
    std::vector<dBodyID> m_balls;
};

} // namespace

int main(int argc, char** argv)
{
    return RunBallDrop("ode", argc, argv,
                       [](const std::vector<SPoint>& start, const SPeerLimits&, std::string&)
                       { return std::make_unique<COdeBalls>(start); });
}
