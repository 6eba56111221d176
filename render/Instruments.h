#pragma once
// What the instruments draw over the bodies: the contact points of the last
// step in two colours (planes, bodies) with their normals as lines whose
// length follows the force, and the line from a body held with the mouse to
// the point it is pulled towards. Drawn in the body pass in place of the plain
// diagnostic markers; with neither instrument in use, exactly those markers.

class CWorld;

// Length of a normal line per unit of force, world units: the weight of a
// billiard ball (mass 30 under gravity 500) draws a line of 4 units.
inline constexpr float kContactLinePerForce = 4.0f / 15000.0f;
// The longest normal line, world units, so that a hard strike stays readable.
inline constexpr float kContactLineLongest = 20.0f;

void DrawInstruments(const CWorld& world, float markerRadius);
