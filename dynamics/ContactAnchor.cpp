#include <algorithm>

#include "dynamics/Body.h"

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
