#pragma once
// Penalty contact between two bodies: every touching pair of collidable shapes
// adds a spring, damper and friction force, equal and opposite, to both.

class CInertialBody;

// The force computed is the one on a; the normal points from b towards a.
void CollideBodies(CInertialBody& a, CInertialBody& b);
