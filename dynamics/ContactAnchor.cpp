#include <algorithm>

#include "dynamics/Body.h"

namespace
{
constexpr size_t kAnchorListCapacity = 16;
} // namespace

SContactAnchor& CInertialBody::Anchor(const void* other, uint32_t shapeIndices)
{
    // A body touches a handful of things at once: a plain search is fastest.
    for (SContactAnchor& anchor : anchors)
    {
        if (anchor.other == other && anchor.shapes == shapeIndices)
        {
            return anchor;
        }
    }
    // Every body's list starts at one size, which holds what a body touches
    // at once in every scene: the pool then serves one size of list from one
    // run of blocks, instead of a run for each size a list passes through.
    if (anchors.capacity() == 0)
    {
        anchors.reserve(kAnchorListCapacity);
    }
    SContactAnchor& anchor = anchors.emplace_back();
    anchor.other = other;
    anchor.shapes = shapeIndices;
    return anchor;
}

void CInertialBody::ForgetOpenAnchors()
{
    std::erase_if(anchors, [](const SContactAnchor& anchor) { return !anchor.touched; });
    for (SContactAnchor& anchor : anchors)
    {
        anchor.touched = false;
        anchor.fresh = false;
    }
}
