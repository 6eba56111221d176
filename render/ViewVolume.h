#pragma once
// The six planes of the current view volume in world coordinates, for the
// passes to skip bodies (and shadows) that cannot reach a pixel.

#include "dynamics/Vector.h"

class CViewVolume
{
public:
    // From the GL's projection and modelview matrices as they stand (the
    // modelview holding the view transform alone).
    static CViewVolume FromCurrentMatrices();
    // From a column-major projection times view matrix.
    static CViewVolume FromClipMatrix(const float clip[16]);

    // Sets what PixelRadius needs: the view matrix's depth row (column-major
    // view matrix), and pixels per unit of width at unit depth.
    void SetDepthScale(const float view[16], float pixelsAtUnitDepth);
    // About how many pixels a sphere's radius covers on screen; the largest
    // float when it reaches the eye's plane.
    float PixelRadius(const CVector& centre, float radius) const;

    // False only when the sphere lies wholly outside one plane.
    bool SphereVisible(const CVector& centre, float radius) const;
    // False only when the shadow that a sphere casts onto the floor z = 0
    // along the rays of the light (homogeneous, w = 0 for a directional
    // light) lies wholly outside one plane. A sphere reaching the height of a
    // point light casts no bounded shadow and counts as visible.
    bool ShadowVisible(const CVector& centre, float radius, const float light[4]) const;

private:
    // Each plane: inward normal (x, y, z) and offset w, normalised.
    float m_planes[6][4] = {};
    // Distance in front of the eye = row . (x, y, z, 1).
    float m_depthRow[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float m_pixelsAtUnitDepth = 0.0f;
};
