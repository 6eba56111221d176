#pragma once
// The broad phase of the step's body contacts: finds, for the bodies' current
// positions, exactly the pairs (i, j), i < j, whose bounding spheres pass the
// rejection test of CollideBodies, and lists them in ascending (i, j) order, so
// that visiting only these pairs sums every force in the same order as
// visiting all of them. Bodies are hashed by centre into a uniform grid whose
// cells are as wide as the largest ordinary bounding sphere; bodies far larger
// than most, or too far out or too odd for the grid, are tried against all.
// The pairs within a skin of touching are kept from step to step until a body
// has moved far enough to close the skin, so a settled pile is searched
// rarely; each step still tests every kept pair exactly.
//
// The buffers keep their size between steps, so a step allocates nothing once
// they have grown to the world's size.

#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/Vector.h"

class CInertialBody;

// Two indices into the body list, first < second.
struct SBodyPair
{
    uint32_t first;
    uint32_t second;
};

class CBroadPhase
{
public:
    // The candidate pairs for the bodies as they are now; valid until the next
    // call. Every pair listed passes the rejection test, every pair not listed
    // fails it.
    const std::vector<SBodyPair>&
    FindPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies);

    // The same pairs by a fresh search of the grid, as a call finds them when
    // no kept pairs serve; leaves the kept pairs as they are. For measuring
    // the search on its own.
    const std::vector<SBodyPair>&
    SearchPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies);

    // The grid of the last call: cell width in world units, whether the cells
    // were laid out densely (else hashed), and how many bodies were left out of
    // it and tried against all.
    double CellSize() const { return m_cellSize; }
    bool Dense() const { return m_dense; }
    size_t UngriddedCount() const { return m_ungridded.size(); }

private:
    // One body as the grid sees it.
    struct SEntry
    {
        CVector centre; // world units
        float radius;   // bounding radius, world units
        int32_t cell[3];
        uint32_t gridded; // 1 when put into the grid
        uint32_t slot;    // its cell's index in the dense grid, or its hash bucket
    };

    // A gridded body where the grid keeps it, cell by cell, so that the
    // bodies of neighbouring cells are read from consecutive memory.
    struct SGridItem
    {
        CVector centre; // world units
        float radius;   // world units
        uint32_t body;
    };

    // The body of a list index as the kept pairs were found for it. Which
    // body it is does not matter: only spheres decide the pairs.
    struct SKeptBody
    {
        CVector centre; // world units
        float radius;   // world units
    };

    // The search of the grid for the pairs of the entries' spheres, into
    // m_pairs.
    void SearchGrid();
    void ReadBodies(const std::vector<std::unique_ptr<CInertialBody>>& bodies);
    // Whether the list is as long, every sphere of the same radius and near
    // enough to where it was when the pairs were kept.
    bool KeptPairsHold() const;
    // Searches the grid with every sphere grown by half a skin and keeps the
    // pairs found.
    void KeepPairs();
    void ClassifyBodies();
    void PlaceInGrid();
    void GatherDense(uint32_t i);
    void GatherHashed(uint32_t i);
    void GatherItems(uint32_t i, uint32_t begin, uint32_t end);

    std::vector<SEntry> m_entries;
    // Cells (or buckets) in slot order: slot s holds
    // m_items[m_slotStart[s] .. m_slotStart[s + 1]), in ascending body order.
    std::vector<uint32_t> m_slotStart;
    std::vector<SGridItem> m_items;
    // Dense grid: cells along x are consecutive slots, rows of x cells along y,
    // layers along z; m_cellOrigin is the cell of slot 0.
    bool m_dense = false;
    int32_t m_cellOrigin[3] = {0, 0, 0};
    int32_t m_cellCount[3] = {0, 0, 0};
    // Hashed grid, for bodies spread over a space too large for dense cells.
    uint32_t m_bucketMask = 0;
    // Bodies outside the grid, ascending.
    std::vector<uint32_t> m_ungridded;
    // The partners j > i of one body, before sorting: the first
    // m_candidateCount entries.
    std::vector<uint32_t> m_candidates;
    size_t m_candidateCount = 0;
    std::vector<SBodyPair> m_pairs;
    double m_cellSize = 1.0;
    // Candidate pairs kept across steps, ascending, and the bodies as they
    // were when these were found; a skin of 0 keeps nothing.
    std::vector<SBodyPair> m_kept;
    std::vector<SKeptBody> m_keptBodies;
    float m_skin = 0.0f;
    // Calls served by the kept pairs since they were found, and calls left to
    // the plain search before keeping is tried again.
    uint32_t m_keptCalls = 0;
    uint32_t m_plainCalls = 0;
};
