#pragma once
// Three single-precision components: points, directions, velocities, forces and
// per-axis moments alike. World coordinates have z up; lengths are world units.

#include "dynamics/FastSqrt.h"

struct CVector
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr CVector() = default;
    constexpr CVector(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

    void Set(float ax, float ay, float az)
    {
        x = ax;
        y = ay;
        z = az;
    }

    constexpr float LengthSquared() const { return x * x + y * y + z * z; }

    // Divides by FastSqrt of the squared length; a zero vector stays zero.
    void Normalize()
    {
        const float length = FastSqrt(LengthSquared());
        if (length != 0.0f)
        {
            x /= length;
            y /= length;
            z /= length;
        }
    }

    CVector& operator+=(const CVector& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    CVector& operator/=(float s)
    {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }

    constexpr bool operator==(const CVector&) const = default;
};

constexpr CVector operator+(const CVector& a, const CVector& b)
{
    return CVector(a.x + b.x, a.y + b.y, a.z + b.z);
}
constexpr CVector operator-(const CVector& a, const CVector& b)
{
    return CVector(a.x - b.x, a.y - b.y, a.z - b.z);
}
constexpr CVector operator-(const CVector& a) { return CVector(-a.x, -a.y, -a.z); }
constexpr CVector operator*(const CVector& a, float s) { return CVector(a.x * s, a.y * s, a.z * s); }
constexpr CVector operator*(float s, const CVector& a) { return CVector(s * a.x, s * a.y, s * a.z); }
// A true division: a / s and a * (1 / s) round differently.
constexpr CVector operator/(const CVector& a, float s) { return CVector(a.x / s, a.y / s, a.z / s); }

constexpr float Dot(const CVector& a, const CVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr CVector Cross(const CVector& a, const CVector& b)
{
    return CVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
