#include "render/ViewVolume.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace
{
// Tessellated vertices lie on the bounding sphere up to rounding; the margin
// keeps a body that touches the edge of the view from being skipped.
float Margin(float radius)
{
    return 0.01f * radius + 0.01f;
}
} // namespace

CViewVolume CViewVolume::FromCurrentMatrices()
{
    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    float clip[16];
    for (int column = 0; column < 4; ++column)
    {
        for (int row = 0; row < 4; ++row)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
            {
                sum += projection[k * 4 + row] * modelview[column * 4 + k];
            }
            clip[column * 4 + row] = sum;
        }
    }
    CViewVolume volume = FromClipMatrix(clip);
    int viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // projection[5] is the cotangent of half the vertical field of view.
    volume.SetDepthScale(modelview, 0.5f * static_cast<float>(viewport[3]) * projection[5]);
    return volume;
}

void CViewVolume::SetDepthScale(const float view[16], float pixelsAtUnitDepth)
{
    // The eye looks along -z of its coordinates.
    for (int column = 0; column < 4; ++column)
    {
        m_depthRow[column] = -view[column * 4 + 2];
    }
    m_pixelsAtUnitDepth = pixelsAtUnitDepth;
}

float CViewVolume::PixelRadius(const CVector& centre, float radius) const
{
    const float depth = m_depthRow[0] * centre.x + m_depthRow[1] * centre.y +
                        m_depthRow[2] * centre.z + m_depthRow[3] - radius;
    if (depth <= 0.0f)
    {
        return FLT_MAX;
    }
    return radius * m_pixelsAtUnitDepth / depth;
}

CViewVolume CViewVolume::FromClipMatrix(const float clip[16])
{
    // A point p is inside when -w <= x, y, z <= w in clip space: each plane is
    // the fourth row plus or minus one of the first three.
    CViewVolume volume;
    for (int axis = 0; axis < 3; ++axis)
    {
        for (int side = 0; side < 2; ++side)
        {
            float* plane = volume.m_planes[axis * 2 + side];
            const float sign = side == 0 ? 1.0f : -1.0f;
            for (int column = 0; column < 4; ++column)
            {
                plane[column] = clip[column * 4 + 3] + sign * clip[column * 4 + axis];
            }
            const float length =
                std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
            if (length > 0.0f)
            {
                for (int k = 0; k < 4; ++k)
                {
                    plane[k] /= length;
                }
            }
        }
    }
    return volume;
}

bool CViewVolume::SphereVisible(const CVector& centre, float radius) const
{
    const float reach = radius + Margin(radius);
    for (const auto& plane : m_planes)
    {
        if (plane[0] * centre.x + plane[1] * centre.y + plane[2] * centre.z + plane[3] < -reach)
        {
            return false;
        }
    }
    return true;
}

bool CViewVolume::ShadowVisible(const CVector& centre, float radius, const float light[4]) const
{
    // The shadow of the sphere lies within the shadow of its bounding box,
    // and that within the rectangle around the shadows of the box's corners,
    // as long as every corner is below the light (a projection keeps convex
    // sets convex only on one side of the light's plane).
    const float reach = radius + Margin(radius);
    const float lx = light[0], ly = light[1], lz = light[2], lw = light[3];
    float minX = 0.0f, maxX = 0.0f, minY = 0.0f, maxY = 0.0f;
    for (int corner = 0; corner < 8; ++corner)
    {
        const float px = centre.x + ((corner & 1) != 0 ? reach : -reach);
        const float py = centre.y + ((corner & 2) != 0 ? reach : -reach);
        const float pz = centre.z + ((corner & 4) != 0 ? reach : -reach);
        const float w = lz - lw * pz;
        if (!(w > 1e-3f * std::fabs(lz)))
        {
            return true;
        }
        const float x = (lz * px - lx * pz) / w;
        const float y = (lz * py - ly * pz) / w;
        minX = corner == 0 ? x : std::min(minX, x);
        maxX = corner == 0 ? x : std::max(maxX, x);
        minY = corner == 0 ? y : std::min(minY, y);
        maxY = corner == 0 ? y : std::max(maxY, y);
    }
    const float slack = Margin(radius);
    for (const auto& plane : m_planes)
    {
        // The rectangle's corner furthest along the plane's normal.
        const float x = plane[0] >= 0.0f ? maxX : minX;
        const float y = plane[1] >= 0.0f ? maxY : minY;
        if (plane[0] * x + plane[1] * y + plane[3] < -slack)
        {
            return false;
        }
    }
    return true;
}
