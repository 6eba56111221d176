#include "world/BroadPhase.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>

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

// A dense grid may have this many cells per gridded body (plus a few) before
// the cells are hashed instead: a pile or a floor of bodies fills its box well,
// bodies scattered far apart do not.
constexpr int64_t kDenseCellsPerBody = 8;

// The skin kept around every sphere, as a share of the largest radius: pairs
// within a skin of touching are kept as candidates until some body has moved
// by kKeptMove skins. A settled pile then goes many steps without a search.
constexpr float kSkinPerRadius = 0.25f;
// Less than half, for the roundings: two bodies that each moved this far
// closed at most 0.9 of the skin.
constexpr float kKeptMove = 0.45f;
// Kept pairs that lasted fewer calls than this were not worth keeping; the
// plain search then serves this many calls before keeping is tried again.
constexpr uint32_t kWorthKeeping = 3;
constexpr uint32_t kPlainCalls = 8;

// Squared distances at or beyond this multiple of the squared sum of the radii
// always fail the rejection test: FastSqrt's shortfall of less than 2^-16
// cannot bridge 2^-10 (the product's own rounding included).
constexpr float kSurelyApart = 1.0009765625f; // 1 + 2^-10

// The rejection test of CollideBodies, evaluated the same way on the same
// values, so that it gives the same answer bit for bit (NaN included).
bool Rejected(const CVector& ca, float ra, const CVector& cb, float rb)
{
    return FastSqrt((ca - cb).LengthSquared()) >= ra + rb;
}

// For two gridded bodies (finite centres and radii): true for most pairs that
// the rejection test rejects, false for every pair it keeps.
bool SurelyApart(const CVector& ca, float ra, const CVector& cb, float rb)
{
    const float d2 = (ca - cb).LengthSquared();
    const float reach = ra + rb;
    return d2 >= reach * reach * kSurelyApart;
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

int32_t CellIndex(float coordinate, double perCell)
{
    return static_cast<int32_t>(std::floor(static_cast<double>(coordinate) * perCell));
}

} // namespace

void CBroadPhase::ReadBodies(const std::vector<std::unique_ptr<CInertialBody>>& bodies)
{
    const size_t count = bodies.size();
    m_entries.resize(count);
    for (size_t i = 0; i < count; ++i)
    {
        SEntry& entry = m_entries[i];
        entry.centre = bodies[i]->Position();
        entry.radius = bodies[i]->boundingRadius;
        entry.gridded = 0;
    }
}

const std::vector<SBodyPair>&
CBroadPhase::SearchPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies)
{
    ReadBodies(bodies);
    SearchGrid();
    return m_pairs;
}

const std::vector<SBodyPair>&
CBroadPhase::FindPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies)
{
    ReadBodies(bodies);
    const size_t count = bodies.size();
    if (count < kGridFromBodies)
    {
        m_kept.clear();
        m_keptBodies.clear();
        SearchGrid();
        return m_pairs;
    }

    if (KeptPairsHold())
    {
        ++m_keptCalls;
    }
    else
    {
        // Bodies in flight outrun any skin; while the pairs kept last lasted
        // only a call or two, the plain search is cheaper, and keeping is
        // tried again a few calls later.
        m_keptBodies.clear();
        if (m_plainCalls > 0 || m_keptCalls < kWorthKeeping)
        {
            m_plainCalls = m_plainCalls > 0 ? m_plainCalls - 1 : kPlainCalls;
            m_keptCalls = kWorthKeeping;
            SearchGrid();
            return m_pairs;
        }
        KeepPairs();
        m_keptCalls = 0;
    }
    // The kept pairs are ascending and hold every pair that can pass; the
    // rejection test on the current centres keeps exactly those that do.
    m_pairs.clear();
    for (const SBodyPair& pair : m_kept)
    {
        const SEntry& a = m_entries[pair.first];
        const SEntry& b = m_entries[pair.second];
        if (!Rejected(a.centre, a.radius, b.centre, b.radius))
        {
            m_pairs.push_back(pair);
        }
    }
    return m_pairs;
}

bool CBroadPhase::KeptPairsHold() const
{
    const size_t count = m_entries.size();
    if (m_skin <= 0.0f || m_keptBodies.size() != count)
    {
        return false;
    }
    // A body that has moved by less than this cannot have closed a gap of a
    // skin with any partner (the other side moved as little), with room for
    // FastSqrt's shortfall and the rounding of the squares. Not a number
    // fails the comparison.
    const float reach = kKeptMove * m_skin;
    const float reachSquared = reach * reach;
    for (size_t i = 0; i < count; ++i)
    {
        const SKeptBody& kept = m_keptBodies[i];
        const SEntry& entry = m_entries[i];
        if (std::bit_cast<uint32_t>(kept.radius) != std::bit_cast<uint32_t>(entry.radius) ||
            !((entry.centre - kept.centre).LengthSquared() < reachSquared))
        {
            return false;
        }
    }
    return true;
}

void CBroadPhase::KeepPairs()
{
    const size_t count = m_entries.size();
    m_keptBodies.resize(count);
    float largest = 0.0f;
    bool usable = true;
    for (size_t i = 0; i < count; ++i)
    {
        const SEntry& entry = m_entries[i];
        m_keptBodies[i] = {entry.centre, entry.radius};
        const CVector& c = entry.centre;
        usable = usable && WithinReach(c.x) && WithinReach(c.y) && WithinReach(c.z) &&
                 entry.radius >= 0.0f && entry.radius <= kGridReach;
        largest = std::max(largest, entry.radius);
    }
    // Bodies too far out or too odd for the grid are searched afresh in
    // every step, as before any pairs were kept.
    m_skin = usable ? kSkinPerRadius * largest : 0.0f;

    // Every sphere grown by half the skin: the pairs these keep are all those
    // within a skin of touching.
    const float grow = 0.5f * m_skin;
    for (SEntry& entry : m_entries)
    {
        entry.radius += grow;
    }
    SearchGrid();
    m_kept.assign(m_pairs.begin(), m_pairs.end());
    for (size_t i = 0; i < count; ++i)
    {
        m_entries[i].radius = m_keptBodies[i].radius;
        m_entries[i].gridded = 0;
    }
}

void CBroadPhase::SearchGrid()
{
    m_pairs.clear();
    m_ungridded.clear();
    const size_t count = m_entries.size();
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
        return;
    }

    ClassifyBodies();
    PlaceInGrid();
    // A body's partners are at most all the others, each listed at most once
    // per neighbouring cell (a hashed bucket may stand for several).
    m_candidates.resize(27 * count);

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

        m_candidateCount = 0;
        if (m_dense)
        {
            GatherDense(i);
        }
        else
        {
            GatherHashed(i);
        }
        uint32_t* const candidates = m_candidates.data();
        // The grid's bodies passed only the cheap bound; the exact test keeps
        // those the rejection test of CollideBodies keeps.
        size_t kept = 0;
        for (size_t k = 0; k < m_candidateCount; ++k)
        {
            const uint32_t j = candidates[k];
            const SEntry& b = m_entries[j];
            candidates[kept] = j;
            kept += Rejected(a.centre, a.radius, b.centre, b.radius) ? 0 : 1;
        }
        for (size_t k = next; k < m_ungridded.size(); ++k)
        {
            const uint32_t j = m_ungridded[k];
            const SEntry& b = m_entries[j];
            if (!Rejected(a.centre, a.radius, b.centre, b.radius))
            {
                candidates[kept++] = j;
            }
        }
        // Ascending partners keep the order of summation of the all-pairs
        // loop. In a hashed grid two neighbouring cells may share a bucket and
        // list a partner twice.
        uint32_t* const end = candidates + kept;
        if (kept > 1)
        {
            std::sort(candidates, end);
        }
        const uint32_t* last = m_dense ? end : std::unique(candidates, end);
        for (const uint32_t* j = candidates; j != last; ++j)
        {
            m_pairs.push_back({i, *j});
        }
    }
}

void CBroadPhase::ClassifyBodies()
{
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
    for (uint32_t i = 0; i < m_entries.size(); ++i)
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
    int32_t low[3] = {INT32_MAX, INT32_MAX, INT32_MAX};
    int32_t high[3] = {INT32_MIN, INT32_MIN, INT32_MIN};
    for (SEntry& entry : m_entries)
    {
        if (entry.gridded == 0)
        {
            continue;
        }
        entry.cell[0] = CellIndex(entry.centre.x, perCell);
        entry.cell[1] = CellIndex(entry.centre.y, perCell);
        entry.cell[2] = CellIndex(entry.centre.z, perCell);
        for (int axis = 0; axis < 3; ++axis)
        {
            low[axis] = std::min(low[axis], entry.cell[axis]);
            high[axis] = std::max(high[axis], entry.cell[axis]);
        }
    }

    const int64_t gridded = static_cast<int64_t>(m_entries.size() - m_ungridded.size());
    int64_t cells = 1;
    for (int axis = 0; axis < 3 && gridded > 0; ++axis)
    {
        m_cellOrigin[axis] = low[axis];
        m_cellCount[axis] = high[axis] - low[axis] + 1;
        // Every factor is below 2^28, so capping each partial product keeps
        // the next one far from overflowing.
        cells = std::min<int64_t>(cells * m_cellCount[axis], INT64_C(1) << 32);
    }
    m_dense = gridded > 0 && cells <= kDenseCellsPerBody * gridded + 64;
}

void CBroadPhase::PlaceInGrid()
{
    const size_t gridded = m_entries.size() - m_ungridded.size();
    size_t slots = 0;
    if (m_dense)
    {
        slots = static_cast<size_t>(m_cellCount[0]) * static_cast<size_t>(m_cellCount[1]) *
                static_cast<size_t>(m_cellCount[2]);
    }
    else
    {
        // Twice as many buckets as bodies keeps most buckets to one cell.
        slots = std::bit_ceil(std::max<size_t>(2 * gridded, 16));
        m_bucketMask = static_cast<uint32_t>(slots - 1);
    }
    m_slotStart.assign(slots + 1, 0);
    m_items.resize(gridded);

    for (SEntry& entry : m_entries)
    {
        if (entry.gridded == 0)
        {
            continue;
        }
        if (m_dense)
        {
            const uint32_t x = static_cast<uint32_t>(entry.cell[0] - m_cellOrigin[0]);
            const uint32_t y = static_cast<uint32_t>(entry.cell[1] - m_cellOrigin[1]);
            const uint32_t z = static_cast<uint32_t>(entry.cell[2] - m_cellOrigin[2]);
            entry.slot = x + static_cast<uint32_t>(m_cellCount[0]) *
                                 (y + static_cast<uint32_t>(m_cellCount[1]) * z);
        }
        else
        {
            entry.slot = CellHash(entry.cell[0], entry.cell[1], entry.cell[2]) & m_bucketMask;
        }
        ++m_slotStart[entry.slot];
    }
    // Running ends, then filled from the last body down: each slot ends up
    // ascending and m_slotStart[s] at its first item.
    for (size_t s = 1; s < slots; ++s)
    {
        m_slotStart[s] += m_slotStart[s - 1];
    }
    m_slotStart[slots] = static_cast<uint32_t>(gridded);
    for (size_t i = m_entries.size(); i-- > 0;)
    {
        const SEntry& entry = m_entries[i];
        if (entry.gridded != 0)
        {
            m_items[--m_slotStart[entry.slot]] = {entry.centre, entry.radius,
                                                  static_cast<uint32_t>(i)};
        }
    }
}

void CBroadPhase::GatherItems(uint32_t i, uint32_t begin, uint32_t end)
{
    // Every item is tested and the answer added to the count instead of
    // branched on: in a pile the answer follows no pattern a branch predictor
    // could learn.
    const SEntry& a = m_entries[i];
    const CVector centre = a.centre;
    const float radius = a.radius;
    const SGridItem* const items = m_items.data();
    uint32_t* const out = m_candidates.data();
    size_t n = m_candidateCount;
    for (uint32_t k = begin; k < end; ++k)
    {
        const SGridItem& item = items[k];
        out[n] = item.body;
        n += (item.body > i) & !SurelyApart(centre, radius, item.centre, item.radius);
    }
    m_candidateCount = n;
}

void CBroadPhase::GatherDense(uint32_t i)
{
    const SEntry& a = m_entries[i];
    const int32_t x = a.cell[0] - m_cellOrigin[0];
    const int32_t y = a.cell[1] - m_cellOrigin[1];
    const int32_t z = a.cell[2] - m_cellOrigin[2];
    // The cells x - 1 .. x + 1 of a row are consecutive slots, so their bodies
    // are one run of items.
    const uint32_t first = static_cast<uint32_t>(std::max(x - 1, 0));
    const uint32_t last = static_cast<uint32_t>(std::min(x + 1, m_cellCount[0] - 1));
    const uint32_t rowLength = static_cast<uint32_t>(m_cellCount[0]);
    const uint32_t rows = static_cast<uint32_t>(m_cellCount[1]);
    const int32_t topLayer = std::min(z + 1, m_cellCount[2] - 1);
    const int32_t topRow = std::min(y + 1, m_cellCount[1] - 1);
    for (int32_t layer = std::max(z - 1, 0); layer <= topLayer; ++layer)
    {
        for (int32_t row = std::max(y - 1, 0); row <= topRow; ++row)
        {
            const uint32_t base =
                rowLength * (static_cast<uint32_t>(row) + rows * static_cast<uint32_t>(layer));
            GatherItems(i, m_slotStart[base + first], m_slotStart[base + last + 1]);
        }
    }
}

void CBroadPhase::GatherHashed(uint32_t i)
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
                // A bucket is ascending: walk down to the current body.
                for (uint32_t k = m_slotStart[b + 1]; k > m_slotStart[b];)
                {
                    const SGridItem& item = m_items[--k];
                    if (item.body <= i)
                    {
                        break;
                    }
                    if (!SurelyApart(a.centre, a.radius, item.centre, item.radius))
                    {
                        m_candidates[m_candidateCount++] = item.body;
                    }
                }
            }
        }
    }
}
