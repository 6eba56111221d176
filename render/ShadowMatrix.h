#pragma once
// The projection that flattens geometry onto the floor plane z = 0 along the
// rays of a light, for the planar shadows.

#include "dynamics/Matrix4.h"

// light: homogeneous position (x, y, z, w); w = 0 for a directional light.
// The matrix is z times the identity minus the outer product of the light with
// the plane (0, 0, 1, 0), column-major as glMultMatrixf takes it.
CMatrix4 ShadowMatrix(const float light[4]);
