#pragma once
// A body held with the mouse: a soft spring with damping pulls the point where
// the body was picked towards a target point, as one more force on the body in
// the step. Its pull is limited to a few times the body's weight, so a grabbed
// body can be swung but not flung through a wall.

#include <optional>

#include "dynamics/Vector.h"
#include "shapes/RayHit.h"

class CInertialBody;

// Natural frequency of the spring, radians per second, and its damping ratio:
// the held point follows the pointer within a fraction of a second without
// ringing.
inline constexpr float kGrabFrequency = 20.0f;
inline constexpr float kGrabDampingRatio = 0.7f;
// The largest pull, in multiples of the body's weight.
inline constexpr float kGrabForceLimit = 4.0f;

struct SGrab
{
    // Not owned; checked against the world's list at every step, so that a
    // body removed while held is simply let go.
    CInertialBody* body = nullptr;
    int index = -1;      // in the world's list
    CVector localPoint;  // the held point in the body's own coordinates
    CVector target;      // world coordinates
    CVector planeNormal; // the plane the target moves in faces the camera
};

// The held point in world coordinates.
CVector GrabbedPoint(const SGrab& grab);

// Adds the spring's force and torque to the held body for gravity g (length
// units per second squared).
void ApplyGrab(const SGrab& grab, const CVector& g);

// Where a ray meets the plane through `through` with the given normal; none
// when the ray runs along the plane or the point lies behind the viewer.
std::optional<CVector> RayOnPlane(const SRay& ray, const CVector& through, const CVector& normal);
