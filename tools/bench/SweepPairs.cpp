#include "tools/bench/SweepPairs.h"

#include <algorithm>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"

namespace
{
// Wider than FastSqrt's shortfall with room for the rounding of the ends.
constexpr double kWiden = 1.0 + 1.0 / 4096.0;
} // namespace

const std::vector<SBodyPair>&
CSweepPairs::FindPairs(const std::vector<std::unique_ptr<CInertialBody>>& bodies)
{
    const uint32_t count = static_cast<uint32_t>(bodies.size());
    m_centres.resize(count);
    m_radii.resize(count);
    m_extents.resize(count);
    for (uint32_t i = 0; i < count; ++i)
    {
        m_centres[i] = bodies[i]->Position();
        m_radii[i] = bodies[i]->boundingRadius;
        const double x = m_centres[i].x;
        const double reach = static_cast<double>(m_radii[i]) * kWiden;
        m_extents[i] = {x - reach, x + reach};
    }
    if (m_order.size() != count)
    {
        m_order.resize(count);
        for (uint32_t i = 0; i < count; ++i)
        {
            m_order[i] = i;
        }
    }
    // Insertion: nearly sorted after a step, so nearly linear.
    for (size_t k = 1; k < count; ++k)
    {
        const uint32_t body = m_order[k];
        const double low = m_extents[body].low;
        size_t j = k;
        while (j > 0 && m_extents[m_order[j - 1]].low > low)
        {
            m_order[j] = m_order[j - 1];
            --j;
        }
        m_order[j] = body;
    }

    m_found.clear();
    for (size_t k = 0; k < count; ++k)
    {
        const uint32_t a = m_order[k];
        const double high = m_extents[a].high;
        for (size_t l = k + 1; l < count && m_extents[m_order[l]].low <= high; ++l)
        {
            const uint32_t b = m_order[l];
            // The rejection test of CollideBodies.
            if (!(FastSqrt((m_centres[a] - m_centres[b]).LengthSquared()) >=
                  m_radii[a] + m_radii[b]))
            {
                const uint64_t first = std::min(a, b);
                const uint64_t second = std::max(a, b);
                m_found.push_back(first << 32 | second);
            }
        }
    }
    std::sort(m_found.begin(), m_found.end());
    m_pairs.resize(m_found.size());
    for (size_t k = 0; k < m_found.size(); ++k)
    {
        m_pairs[k] = {static_cast<uint32_t>(m_found[k] >> 32),
                      static_cast<uint32_t>(m_found[k] & 0xFFFFFFFFu)};
    }
    return m_pairs;
}
