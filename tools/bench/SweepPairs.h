#pragma once
// Sort-and-sweep along x over the bodies' bounding spheres: the other broad
// phase the grid was measured against. It lists the same pairs as
// CBroadPhase, in the same ascending order. The order along x is kept from
// call to call and mended by insertion, as a sweep does for bodies that moved
// a little since the last step.

#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/Vector.h"
#include "world/BroadPhase.h"

class CInertialBody;

class CSweepPairs
{
public:
    const std::vector<SBodyPair>&
    FindPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies);

private:
    // One body's extent along x, widened so that every pair the rejection
    // test keeps overlaps (FastSqrt falls short of the root by under 2^-16).
    struct SExtent
    {
        double low;  // world units
        double high; // world units
    };

    std::vector<CVector> m_centres;
    std::vector<float> m_radii;
    std::vector<SExtent> m_extents;
    // Body indices by ascending low end.
    std::vector<uint32_t> m_order;
    std::vector<uint64_t> m_found; // first << 32 | second
    std::vector<SBodyPair> m_pairs;
};
