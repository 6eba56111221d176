#pragma once
// A 4-by-4 single-precision matrix in OpenGL's column-major order: element
// (row r, column c) is m[4c + r]. For a placement, columns 0 to 2 are the local
// axes in parent coordinates and column 3 (m[12..14]) is the position.

#include "dynamics/Vector.h"

struct CMatrix4
{
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    constexpr float& operator[](int i) { return m[i]; }
    constexpr float operator[](int i) const { return m[i]; }

    constexpr CVector TransformPoint(const CVector& p) const
    {
        return CVector(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                       m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                       m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]);
    }

    constexpr CVector TransformDirection(const CVector& v) const
    {
        return CVector(m[0] * v.x + m[4] * v.y + m[8] * v.z,
                       m[1] * v.x + m[5] * v.y + m[9] * v.z,
                       m[2] * v.x + m[6] * v.y + m[10] * v.z);
    }

    // Inverts a matrix whose bottom row is (0, 0, 0, 1) within 0.001 into dest;
    // returns false and leaves dest untouched otherwise. A singular block is
    // not detected.
    bool InvertAffine(CMatrix4& dest) const;

    void SetTranslation(float x, float y, float z)
    {
        m[12] = x;
        m[13] = y;
        m[14] = z;
    }
    void SetTranslation(const CVector& p) { SetTranslation(p.x, p.y, p.z); }
    constexpr CVector Translation() const { return CVector(m[12], m[13], m[14]); }

    constexpr CVector Column(int c) const { return CVector(m[4 * c], m[4 * c + 1], m[4 * c + 2]); }
    void SetColumn(int c, const CVector& v)
    {
        m[4 * c] = v.x;
        m[4 * c + 1] = v.y;
        m[4 * c + 2] = v.z;
    }

    constexpr bool operator==(const CMatrix4&) const = default;
};
