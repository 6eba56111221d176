#include "world/BroadPhase.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"

namespace
{

// A centre coordinate or a bounding radius beyond this (or not a number) keeps
// a body out of the grid: its cell indices then stay far inside 32 bits and no
// squared distance between gridded bodies can overflow.
constexpr float kGridReach = 1048576.0f; // 2^20 world units

// FastSqrt falls short of the true root by less than 2^-16 of it, so the
// centres of a pair that passes the rejection test lie less than
// (1 + 2^-13) (ra + rb) apart along every axis. Cells 2^-8 wider than the
// largest gridded diameter therefore put every such pair in the same or in
// neighbouring cells, with room for the rounding of the cell index.
constexpr double kCellSlack = 1.0 + 1.0 / 256.0;
// Zero-sized bodies never touch anything; the floor keeps the indices small.
constexpr double kMinCellSize = 1.0 / 64.0; // world units

// Below this many bodies, testing every pair costs less than hashing them.
constexpr size_t kGridFromBodies = 24;

// At least this share of the bodies (in eighths) goes into the grid; the cells
// are sized for the largest of them, and the few larger bodies are tried
// against all the others instead of coarsening the grid for everyone.
constexpr size_t kGriddedEighths = 7;

// The rejection test of CollideBodies, evaluated the same way on the same
// values, so that it gives the same answer bit for bit (NaN included).
bool Rejected(const CVector& ca, float ra, const CVector& cb, float rb)
{
    return FastSqrt((ca - cb).LengthSquared()) >= ra + rb;
}

uint32_t CellHash(int32_t x, int32_t y, int32_t z)
{
    return (static_cast<uint32_t>(x) * 73856093u) ^ (static_cast<uint32_t>(y) * 19349663u) ^
           (static_cast<uint32_t>(z) * 83492791u);
}

bool WithinReach(float v)
{
    return v >= -kGridReach && v <= kGridReach;
}

// The biased exponent of a positive radius, 0 for zero, negative or denormal
// ones: radii in exponent classes 0..e are all below 2^(e - 126).
uint32_t ExponentClass(float radius)
{
    return radius > 0.0f ? std::bit_cast<uint32_t>(radius) >> 23 : 0u;
}

} // namespace

const std::vector<SBodyPair>&
CBroadPhase::FindPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies)
{
    m_pairs.clear();
    const size_t count = bodies.size();
    m_entries.resize(count);
    for (size_t i = 0; i < count; ++i)
    {
        SEntry& entry = m_entries[i];
        entry.centre = bodies[i]->Position();
        entry.radius = bodies[i]->boundingRadius;
        entry.gridded = 0;
    }

    if (count < kGridFromBodies)
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            const SEntry& a = m_entries[i];
            for (uint32_t j = i + 1; j < count; ++j)
            {
                const SEntry& b = m_entries[j];
                if (!Rejected(a.centre, a.radius, b.centre, b.radius))
                {
                    m_pairs.push_back({i, j});
                }
            }
        }
        m_ungridded.clear();
        return m_pairs;
    }

    ClassifyBodies(bodies);
    FillBuckets();

    size_t next = 0; // first ungridded body after the current one
    for (uint32_t i = 0; i < count; ++i)
    {
        while (next < m_ungridded.size() && m_ungridded[next] <= i)
        {
            ++next;
        }
        const SEntry& a = m_entries[i];
        if (a.gridded == 0)
        {
            for (uint32_t j = i + 1; j < count; ++j)
            {
                const SEntry& b = m_entries[j];
                if (!Rejected(a.centre, a.radius, b.centre, b.radius))
                {
                    m_pairs.push_back({i, j});
                }
            }
            continue;
        }

        m_candidates.clear();
        GatherGridCandidates(i);
        for (size_t k = next; k < m_ungridded.size(); ++k)
        {
            const uint32_t j = m_ungridded[k];
            const SEntry& b = m_entries[j];
            if (!Rejected(a.centre, a.radius, b.centre, b.radius))
            {
                m_candidates.push_back(j);
            }
        }
        // Ascending partners keep the order of summation of the all-pairs
        // loop; two neighbouring cells may share a bucket and list a partner
        // twice.
        if (m_candidates.size() > 1)
        {
            std::sort(m_candidates.begin(), m_candidates.end());
            m_candidates.erase(std::unique(m_candidates.begin(), m_candidates.end()),
                               m_candidates.end());
        }
        for (const uint32_t j : m_candidates)
        {
            m_pairs.push_back({i, j});
        }
    }
    return m_pairs;
}

void CBroadPhase::ClassifyBodies(const std::vector<std::unique_ptr<CInertialBody>>& bodies)
{
    const size_t count = bodies.size();
    // How many bodies fall in each exponent class of their radius.
    size_t classes[256] = {};
    size_t reachable = 0;
    for (SEntry& entry : m_entries)
    {
        const CVector& c = entry.centre;
        if (WithinReach(c.x) && WithinReach(c.y) && WithinReach(c.z) && WithinReach(entry.radius))
        {
            entry.gridded = 1;
            ++classes[ExponentClass(entry.radius)];
            ++reachable;
        }
    }

    // The smallest radius class that, with all below it, holds the share.
    const size_t wanted = reachable - reachable * (8 - kGriddedEighths) / 8;
    uint32_t top = 0;
    size_t covered = classes[0];
    while (covered < wanted && top < 255)
    {
        ++top;
        covered += classes[top];
    }

    float largest = 0.0f;
    m_ungridded.clear();
    for (uint32_t i = 0; i < count; ++i)
    {
        SEntry& entry = m_entries[i];
        if (entry.gridded != 0 && ExponentClass(entry.radius) > top)
        {
            entry.gridded = 0;
        }
        if (entry.gridded == 0)
        {
            m_ungridded.push_back(i);
        }
        else
        {
            largest = std::max(largest, entry.radius);
        }
    }

    m_cellSize = std::max(2.0 * static_cast<double>(largest) * kCellSlack, kMinCellSize);
    const double perCell = 1.0 / m_cellSize;
    for (SEntry& entry : m_entries)
    {
        if (entry.gridded == 0)
        {
            continue;
        }
        entry.cell[0] =
            static_cast<int32_t>(std::floor(static_cast<double>(entry.centre.x) * perCell));
        entry.cell[1] =
            static_cast<int32_t>(std::floor(static_cast<double>(entry.centre.y) * perCell));
        entry.cell[2] =
            static_cast<int32_t>(std::floor(static_cast<double>(entry.centre.z) * perCell));
    }
}

void CBroadPhase::FillBuckets()
{
    const size_t gridded = m_entries.size() - m_ungridded.size();
    // Twice as many buckets as bodies keeps most buckets to one cell.
    const size_t buckets = std::bit_ceil(std::max<size_t>(2 * gridded, 16));
    m_bucketMask = static_cast<uint32_t>(buckets - 1);
    m_bucketStart.assign(buckets + 1, 0);
    m_bucketBodies.resize(gridded);

    for (const SEntry& entry : m_entries)
    {
        if (entry.gridded != 0)
        {
            ++m_bucketStart[CellHash(entry.cell[0], entry.cell[1], entry.cell[2]) & m_bucketMask];
        }
    }
    // Running ends, then filled from the last body down: each bucket ends up
    // ascending and m_bucketStart[b] at its first entry.
    for (size_t b = 1; b < buckets; ++b)
    {
        m_bucketStart[b] += m_bucketStart[b - 1];
    }
    m_bucketStart[buckets] = static_cast<uint32_t>(gridded);
    for (size_t i = m_entries.size(); i-- > 0;)
    {
        const SEntry& entry = m_entries[i];
        if (entry.gridded != 0)
        {
            const uint32_t b = CellHash(entry.cell[0], entry.cell[1], entry.cell[2]) & m_bucketMask;
            m_bucketBodies[--m_bucketStart[b]] = static_cast<uint32_t>(i);
        }
    }
}

void CBroadPhase::GatherGridCandidates(uint32_t i)
{
    const SEntry& a = m_entries[i];
    for (int32_t dz = -1; dz <= 1; ++dz)
    {
        for (int32_t dy = -1; dy <= 1; ++dy)
        {
            for (int32_t dx = -1; dx <= 1; ++dx)
            {
                const uint32_t b =
                    CellHash(a.cell[0] + dx, a.cell[1] + dy, a.cell[2] + dz) & m_bucketMask;
                // Ascending within the bucket: walk down to the current body.
                for (uint32_t k = m_bucketStart[b + 1]; k > m_bucketStart[b];)
                {
                    const uint32_t j = m_bucketBodies[--k];
                    if (j <= i)
                    {
                        break;
                    }
                    const SEntry& other = m_entries[j];
                    if (!Rejected(a.centre, a.radius, other.centre, other.radius))
                    {
                        m_candidates.push_back(j);
                    }
                }
            }
        }
    }
}
