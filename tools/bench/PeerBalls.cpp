#include "tools/bench/PeerBalls.h"

#include <memory>

#include "BallDrop.h"
#include "dynamics/Body.h"
#include "world/World.h"

namespace
{
// Balls of mass 30 and radius 3.5 with the body defaults (restitution 0.7,
// friction 0.4), which the world's planes average to the peers' pairs.
class CClatterboxBalls : public CPeerWorld
{
public:
    CClatterboxBalls(const std::vector<SPoint>& start, bool allPairs)
    {
        m_world.allPairs = allPairs;
        m_world.bodies.reserve(start.size());
        for (const SPoint& p : start)
        {
            CInertialBody* ball = CreateSphereBody(&m_world, static_cast<float>(kBallMass),
                                                   static_cast<float>(kBallRadius));
            ball->matrix.SetTranslation(static_cast<float>(p.x), static_cast<float>(p.y),
                                        static_cast<float>(p.z));
            m_world.bodies.emplace_back(ball);
        }
    }

    void Step() override { m_world.Step(kSimulationStep); }

    void ReadPositions(std::vector<SPoint>& out) const override
    {
        out.clear();
        for (int i = 0; i < m_world.BodyCount(); ++i)
        {
            const CVector p = m_world.Body(i)->Position();
            out.push_back({p.x, p.y, p.z});
        }
    }

private:
    CWorld m_world;
};
} // namespace

int RunPeerBallDrop(int argc, char** argv, bool allPairs)
{
    return RunBallDrop(allPairs ? "clatterbox-all-pairs" : "clatterbox", argc, argv,
                       [allPairs](const std::vector<SPoint>& start, const SPeerLimits&,
                                  std::string&) -> std::unique_ptr<CPeerWorld>
                       { return std::make_unique<CClatterboxBalls>(start, allPairs); });
}
