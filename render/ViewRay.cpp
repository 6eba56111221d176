#include "render/ViewRay.h"

#include <cmath>

#include "render/Camera.h"

namespace
{
struct SVector3
{
    double x, y, z;
};

SVector3 Minus(const SVector3& a, const SVector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
SVector3 Cross3(const SVector3& a, const SVector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
SVector3 Unit(const SVector3& a)
{
    const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return length > 0.0 ? SVector3{a.x / length, a.y / length, a.z / length} : a;
}
SVector3 Of(const CVector& v)
{
    return {v.x, v.y, v.z};
}
} // namespace

SRay ViewRay(const CCamera& camera, int width, int height, double x, double y)
{
    // The frame of the view as the look-at transform builds it, up being +z.
    const SVector3 forward = Unit(Minus(Of(camera.centre), Of(camera.eye)));
    const SVector3 side = Unit(Cross3(forward, SVector3{0.0, 0.0, 1.0}));
    const SVector3 up = Cross3(side, forward);
    const double halfHeight = std::tan(kFieldOfViewDegrees * 0.5 * 3.14159265358979323846 / 180.0);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const double across = (2.0 * x / width - 1.0) * halfHeight * aspect;
    const double upwards = (1.0 - 2.0 * y / height) * halfHeight;
    const SVector3 direction = Unit(SVector3{forward.x + across * side.x + upwards * up.x,
                                             forward.y + across * side.y + upwards * up.y,
                                             forward.z + across * side.z + upwards * up.z});
    return SRay{camera.eye,
                CVector(static_cast<float>(direction.x), static_cast<float>(direction.y),
                        static_cast<float>(direction.z))};
}
