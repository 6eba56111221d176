#pragma once
// The single viewer: its eye stays put while its look-at point glides after an
// aim point; the arrow keys, Home and End orbit the eye around the look-at
// point. Angles in radians, lengths in world units, time in seconds.

#include "dynamics/Vector.h"

class CCamera
{
public:
    // Sets nothing: Initialize must follow.
    CCamera() = default;

    void Initialize();
    // Moves the look-at point after p; the eye stays.
    void Aim(const CVector& p, float dt);
    // Applies the keyboard to the spherical triple and places the eye.
    void Orbit(float dt);
    // The spherical triple from the eye and the centre.
    void UpdateSpherical();
    // Multiplies the current OpenGL matrix by the view transform (up is +z).
    void ApplyView() const;

    float azimuth = 0.0f;   // from +x towards +y, not wrapped
    float elevation = 0.0f; // above the horizontal, within +-0.49 pi
    float distance = 0.0f;  // look-at point to eye, at least 5 after Orbit
    float azimuthRate = 0.0f;
    float elevationRate = 0.0f;
    float distanceRate = 0.0f;
    CVector eye;
    CVector centre;
    CVector centreVelocity;
};
