#pragma once
// The ray from the viewer through a pixel of the 3D area, for picking a body
// with the mouse: the same perspective and view as the picture, worked out
// without asking OpenGL, so that it also serves where nothing is drawn.

#include "shapes/RayHit.h"

class CCamera;

// The projection's vertical field of view, degrees.
inline constexpr double kFieldOfViewDegrees = 30.0;

// x to the right and y downwards in pixels from the top left corner of a
// width x height area; a pixel's centre is at +0.5. The area must not be
// empty.
SRay ViewRay(const CCamera& camera, int width, int height, double x, double y);
