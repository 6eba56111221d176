#pragma once
// The contact points of one step, kept only while the user asks to see them:
// where each touching pair of shapes met, along which normal and how hard. The
// contact laws add to it and never read it, so keeping it changes no result.

#include <cstdint>
#include <vector>

#include "dynamics/Vector.h"

enum class EContactKind : uint8_t
{
    kPlane, // a body against the floor or a wall
    kBody,  // two bodies, or the pusher and a body
};

struct SContactRecord
{
    CVector point;      // world coordinates
    CVector normal;     // unit length; out of the plane, or from the second body towards the first
    float force = 0.0f; // along the normal, at least 0
    EContactKind kind = EContactKind::kPlane;
};

class CContactLog
{
public:
    void Clear() { m_records.clear(); }
    // f is the whole contact force; only its part along the normal is kept.
    void Add(const CVector& point, const CVector& normal, const CVector& f, EContactKind kind)
    {
        const float along = Dot(f, normal);
        m_records.push_back(SContactRecord{point, normal, along > 0.0f ? along : 0.0f, kind});
    }
    const std::vector<SContactRecord>& Records() const { return m_records; }

private:
    std::vector<SContactRecord> m_records;
};
