#include "dynamics/Matrix4.h"

#include <cmath>

bool CMatrix4::InvertAffine(CMatrix4& dest) const
{
    if (std::fabs(m[15] - 1.0f) > 0.001f || std::fabs(m[3]) > 0.001f ||
        std::fabs(m[7]) > 0.001f || std::fabs(m[11]) > 0.001f)
    {
        return false;
    }
    // Cofactors of the upper 3-by-3 block a(r, c) = m[4c + r].
    const float a00 = m[0], a01 = m[4], a02 = m[8];
    const float a10 = m[1], a11 = m[5], a12 = m[9];
    const float a20 = m[2], a21 = m[6], a22 = m[10];
    const float c00 = a11 * a22 - a12 * a21;
    const float c01 = a12 * a20 - a10 * a22;
    const float c02 = a10 * a21 - a11 * a20;
    const float det = a00 * c00 + a01 * c01 + a02 * c02;
    const float inv = 1.0f / det;

    CMatrix4 r;
    r.m[0] = c00 * inv;
    r.m[4] = (a02 * a21 - a01 * a22) * inv;
    r.m[8] = (a01 * a12 - a02 * a11) * inv;
    r.m[1] = c01 * inv;
    r.m[5] = (a00 * a22 - a02 * a20) * inv;
    r.m[9] = (a02 * a10 - a00 * a12) * inv;
    r.m[2] = c02 * inv;
    r.m[6] = (a01 * a20 - a00 * a21) * inv;
    r.m[10] = (a00 * a11 - a01 * a10) * inv;

    const float tx = m[12], ty = m[13], tz = m[14];
    r.m[12] = -(r.m[0] * tx + r.m[4] * ty + r.m[8] * tz);
    r.m[13] = -(r.m[1] * tx + r.m[5] * ty + r.m[9] * tz);
    r.m[14] = -(r.m[2] * tx + r.m[6] * ty + r.m[10] * tz);
    r.m[3] = 0.0f;
    r.m[7] = 0.0f;
    r.m[11] = 0.0f;
    r.m[15] = 1.0f;
    dest = r;
    return true;
}
