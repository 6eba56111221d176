#pragma once
// Shapes placed in the world for the contact tests: each shape sits on a body
// of its own (never prepared, so no rendering context is needed), posed by the
// body's matrix and optionally by its own local matrix.

#include <cmath>
#include <memory>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Matrix4.h"
#include "dynamics/Random.h"
#include "dynamics/Vector.h"
#include "shapes/Shape.h"

enum class EKind
{
    kSphere,
    kCylinder,
    kTorus
};

// r is the sphere's or cylinder's radius or the torus's tube radius; size is
// the cylinder's half-length or the torus's ring radius (unused for a sphere).
struct ShapeSize
{
    EKind kind;
    float r;
    float size;
};

// A shape with its own body; the body's matrix places the shape in the world.
struct PlacedShape
{
    std::unique_ptr<CInertialBody> body;
    CShape* shape = nullptr;

    const CShape& operator*() const { return *shape; }
};

inline void EnsureSqrtTable()
{
    static const bool built = []
    {
        BuildSqrtTable();
        return true;
    }();
    (void)built;
}

// An orthonormal frame whose z column is the given unit axis (exact for the
// coordinate axes), placed at the given origin.
inline CMatrix4 FrameAlong(const CVector& axis, const CVector& origin)
{
    const double z[3] = {axis.x, axis.y, axis.z};
    const double h[3] = {std::fabs(z[0]) < 0.9 ? 1.0 : 0.0, std::fabs(z[0]) < 0.9 ? 0.0 : 1.0, 0.0};
    const double hz = h[0] * z[0] + h[1] * z[1] + h[2] * z[2];
    double x[3] = {h[0] - hz * z[0], h[1] - hz * z[1], h[2] - hz * z[2]};
    const double lx = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (double& c : x)
    {
        c /= lx;
    }
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2],
                         z[0] * x[1] - z[1] * x[0]};
    CMatrix4 m;
    m.SetColumn(0, CVector(float(x[0]), float(x[1]), float(x[2])));
    m.SetColumn(1, CVector(float(y[0]), float(y[1]), float(y[2])));
    m.SetColumn(2, axis);
    m.SetTranslation(origin);
    return m;
}

// A uniformly random rotation (from a random unit quaternion) at the origin,
// drawn from the program's generator so that runs repeat.
inline CMatrix4 RandomRotation()
{
    double q[4];
    double n2;
    do
    {
        for (double& c : q)
        {
            c = RandomSigned();
        }
        n2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
    } while (n2 > 1.0 || n2 < 0.01);
    const double n = std::sqrt(n2);
    const double w = q[0] / n, x = q[1] / n, y = q[2] / n, z = q[3] / n;
    CMatrix4 m;
    m.SetColumn(0, CVector(float(1 - 2 * (y * y + z * z)), float(2 * (x * y + w * z)),
                           float(2 * (x * z - w * y))));
    m.SetColumn(1, CVector(float(2 * (x * y - w * z)), float(1 - 2 * (x * x + z * z)),
                           float(2 * (y * z + w * x))));
    m.SetColumn(2, CVector(float(2 * (x * z + w * y)), float(2 * (y * z - w * x)),
                           float(1 - 2 * (x * x + y * y))));
    return m;
}

inline CVector RandomPoint(float extent)
{
    const float x = extent * RandomSigned();
    const float y = extent * RandomSigned();
    const float z = extent * RandomSigned();
    return CVector(x, y, z);
}

inline CShape* NewShape(const ShapeSize& dims, CInertialBody* body)
{
    switch (dims.kind)
    {
    case EKind::kSphere:
        return new CSphere(body, dims.r, 1.0f);
    case EKind::kCylinder:
        return new CCylinder(body, dims.r, dims.size, 1.0f);
    case EKind::kTorus:
        return new CTorus(body, dims.r, dims.size, 1.0f);
    }
    return nullptr;
}

// The shape's local matrix stays the identity unless one is given.
inline PlacedShape Place(const ShapeSize& dims, const CMatrix4& bodyMatrix,
                         const CMatrix4& local = CMatrix4())
{
    PlacedShape placed;
    placed.body = std::make_unique<CInertialBody>(nullptr);
    placed.body->matrix = bodyMatrix;
    placed.shape = NewShape(dims, placed.body.get());
    placed.shape->matrix = local;
    placed.body->AddShape(placed.shape);
    return placed;
}

inline PlacedShape Place(const ShapeSize& dims, const CVector& centre, const CVector& axis)
{
    return Place(dims, FrameAlong(axis, centre));
}

// The world frame of a placed shape in double precision: body then local.
struct WorldFrame
{
    double centre[3];
    double x[3];
    double y[3];
    double axis[3];
};

inline WorldFrame FrameOf(const CShape& shape)
{
    const CMatrix4& b = shape.body->matrix;
    const CMatrix4& l = shape.matrix;
    WorldFrame f{};
    for (int row = 0; row < 3; ++row)
    {
        double columns[4] = {0, 0, 0, b[12 + row]};
        for (int c = 0; c < 4; ++c)
        {
            for (int k = 0; k < 3; ++k)
            {
                columns[c] += double(b[4 * k + row]) * double(l[4 * c + k]);
            }
        }
        f.x[row] = columns[0];
        f.y[row] = columns[1];
        f.axis[row] = columns[2];
        f.centre[row] = columns[3];
    }
    return f;
}
