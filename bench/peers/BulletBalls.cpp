// The ball drop in Bullet: a discrete dynamics world with the default collision configuration,
// the dynamic AABB tree broad phase and the sequential impulse solver, stepped once per fixed
// step on the calling thread.

#include "BallDrop.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>

namespace
{

// Bullet multiplies the two objects' restitutions and the two frictions, so the ball takes the
// square root of the ball-ball value and each plane the rest of its pair's value.
const btScalar kBallRestitution = static_cast<btScalar>(std::sqrt(kBallBallRestitution));
const btScalar kBallFriction = static_cast<btScalar>(std::sqrt(kBallBallFriction));

struct SPlane
{
    btVector3 normal;   // pointing into the box
    btScalar constant;  // normal . p = constant on the plane
    double restitution; // of a ball against it
};

class CBulletBalls final : public CPeerWorld
{
public:
    explicit CBulletBalls(const std::vector<SPoint>& start)
        : m_dispatcher(&m_configuration),
          m_world(&m_dispatcher, &m_broadphase, &m_solver, &m_configuration),
          m_ballShape(static_cast<btScalar>(kBallRadius))
    {
        m_world.setGravity(btVector3(0, 0, static_cast<btScalar>(-kGravity)));

        const SPlane planes[] = {
            {btVector3(0, 0, 1), 0, kBallFloorRestitution},
            {btVector3(1, 0, 0), static_cast<btScalar>(-kBoxHalfX), kBallWallRestitution},
            {btVector3(-1, 0, 0), static_cast<btScalar>(-kBoxHalfX), kBallWallRestitution},
            {btVector3(0, 1, 0), static_cast<btScalar>(-kBoxHalfY), kBallWallRestitution},
            {btVector3(0, -1, 0), static_cast<btScalar>(-kBoxHalfY), kBallWallRestitution},
        };
        for (const SPlane& plane : planes)
        {
            m_planeShapes.push_back(
                std::make_unique<btStaticPlaneShape>(plane.normal, plane.constant));
            btRigidBody::btRigidBodyConstructionInfo info(0, nullptr, m_planeShapes.back().get());
            info.m_restitution = static_cast<btScalar>(plane.restitution) / kBallRestitution;
            info.m_friction = static_cast<btScalar>(kBallPlaneFriction) / kBallFriction;
            m_planes.push_back(std::make_unique<btRigidBody>(info));
            m_world.addRigidBody(m_planes.back().get());
        }

        const btScalar mass = static_cast<btScalar>(kBallMass);
        btVector3 inertia;
        m_ballShape.calculateLocalInertia(mass, inertia);
        m_balls.reserve(start.size());
        for (const SPoint& p : start)
        {
            btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, &m_ballShape, inertia);
            info.m_startWorldTransform.setIdentity();
            info.m_startWorldTransform.setOrigin(btVector3(static_cast<btScalar>(p.x),
                                                           static_cast<btScalar>(p.y),
                                                           static_cast<btScalar>(p.z)));
            info.m_restitution = kBallRestitution;
            info.m_friction = kBallFriction;
            m_balls.push_back(std::make_unique<btRigidBody>(info));
            // Clatterbox simulates every body in every step; so must the peer.
            m_balls.back()->setActivationState(DISABLE_DEACTIVATION);
            m_world.addRigidBody(m_balls.back().get());
        }
    }

    ~CBulletBalls() override
    {
        for (auto& ball : m_balls)
            m_world.removeRigidBody(ball.get());
        for (auto& plane : m_planes)
            m_world.removeRigidBody(plane.get());
    }

    CBulletBalls(const CBulletBalls&) = delete;
    CBulletBalls& operator=(const CBulletBalls&) = delete;

    void Step() override
    {
        // No sub-stepping and no interpolation: exactly one internal step of kStep.
        m_world.stepSimulation(static_cast<btScalar>(kStep), 0);
    }

    void ReadPositions(std::vector<SPoint>& out) const override
    {
        out.clear();
        for (const auto& ball : m_balls)
        {
            const btVector3& origin = ball->getWorldTransform().getOrigin();
            out.push_back({origin.x(), origin.y(), origin.z()});
        }
    }

private:
    btDefaultCollisionConfiguration m_configuration;
    btCollisionDispatcher m_dispatcher;
    btDbvtBroadphase m_broadphase;
    btSequentialImpulseConstraintSolver m_solver;
    btDiscreteDynamicsWorld m_world;
    btSphereShape m_ballShape;
    std::vector<std::unique_ptr<btStaticPlaneShape>> m_planeShapes;
    std::vector<std::unique_ptr<btRigidBody>> m_planes;
    std::vector<std::unique_ptr<btRigidBody>> m_balls;
};

} // namespace

int main(int argc, char** argv)
{
    return RunBallDrop("bullet", argc, argv,
                       [](const std::vector<SPoint>& start, const SPeerLimits&, std::string&)
                       { return std::make_unique<CBulletBalls>(start); });
}
