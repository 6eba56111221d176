#pragma once
// What a contact point of the Stable model remembers from step to step: how
// far the touching points have slid apart along the contact since they began
// to stick. A body keeps the anchors of its plane contacts and of the body
// contacts in which it comes first.

#include <cstdint>

#include "dynamics/Vector.h"

struct SContactAnchor
{
    // The plane or the other body, and the touching shapes' list indices.
    const void* other = nullptr;
    uint32_t shapes = 0;
    // Set when the contact was met in the current step; an anchor not met
    // is dropped after the step, so a contact that opens starts afresh.
    bool touched = false;
    // Set while the contact is in its first step.
    bool fresh = true;
    // World units, in the contact's tangent plane: the spring's stretch.
    CVector slip;
    // Radians, across the normal: how far the two bodies have rolled on each
    // other since they began to stick.
    CVector roll;
    // Radians about the normal, for a plane contact: how far the body has
    // turned on the plane since it began to stick.
    float twist = 0.0f;
};
