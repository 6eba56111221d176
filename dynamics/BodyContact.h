#pragma once
// Penalty contact between two bodies: every touching pair of collidable shapes
// adds a spring, damper and friction force, equal and opposite, to both.

#include <cstdint>

class CInertialBody;

// The coefficients of the last pair that touched, for a caller that collides
// many pairs in a row: pairs of alike bodies (a pile of balls) then skip the
// division, logarithm and root that set them. They depend on nothing but the
// two bodies' masses, restitutions and frictions, which form the key.
struct SPairCoefficients
{
    uint32_t key[6] = {}; // bits of a's and b's mass, restitution, friction
    bool valid = false;
    float reducedMass = 0.0f;
    float stiffness = 0.0f;
    float damping = 0.0f;
    float friction = 0.0f;
};

// The force computed is the one on a; the normal points from b towards a.
void CollideBodies(CInertialBody& a, CInertialBody& b);
// The same, reusing and updating the caller's coefficients.
void CollideBodies(CInertialBody& a, CInertialBody& b, SPairCoefficients& last);

// Under the Stable model, over a step of h seconds: each contact's static
// friction is anchored in a's list of anchors.
void CollideBodiesStable(CInertialBody& a, CInertialBody& b, SPairCoefficients& last, float h);
