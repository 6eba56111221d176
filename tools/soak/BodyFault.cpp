#include "tools/soak/BodyFault.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "world/World.h"

namespace
{
bool Finite(const CVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Finite(const CMatrix4& m)
{
    return std::all_of(std::begin(m.m), std::end(m.m), [](float f) { return std::isfinite(f); });
}

std::string Text(const CVector& v)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%.9g, %.9g, %.9g)", v.x, v.y, v.z);
    return text;
}

std::string Format(const char* format, double a, double b)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// The first non-finite state of a body, or an empty text.
std::string NonFiniteState(const CInertialBody& body)
{
    if (!Finite(body.matrix))
        return "its placement matrix is not finite (position " + Text(body.Position()) + ")";
    if (!Finite(body.inverse))
        return "its inverse matrix is not finite";
    const struct
    {
        const char* name;
        const CVector& value;
    } vectors[] = {
        {"linear velocity", body.linearVelocity},
        {"angular velocity", body.angularVelocity},
        {"world angular velocity", body.worldAngularVelocity},
        {"force", body.force},
        {"torque", body.torque},
    };
    for (const auto& entry : vectors)
        if (!Finite(entry.value))
            return std::string("its ") + entry.name + " is not finite: " + Text(entry.value);
    return {};
}

// How far the centre lies outside the floor or a wall beyond the bounding
// radius, or an empty text.
std::string Escape(const CInertialBody& body)
{
    const CVector p = body.Position();
    const float r = body.boundingRadius;
    if (p.z < -r)
        return Format("its centre is %.9g below the floor, more than its bounding radius %.9g",
                      -p.z, r);
    if (p.x < -kWallX - r)
        return Format("its centre is %.9g beyond the wall x = -40, more than its bounding radius "
                      "%.9g",
                      -kWallX - p.x, r);
    if (p.x > kWallX + r)
        return Format("its centre is %.9g beyond the wall x = 40, more than its bounding radius "
                      "%.9g",
                      p.x - kWallX, r);
    if (p.y < -kWallY - r)
        return Format("its centre is %.9g beyond the wall y = -60, more than its bounding radius "
                      "%.9g",
                      -kWallY - p.y, r);
    if (p.y > kWallY + r)
        return Format("its centre is %.9g beyond the wall y = 60, more than its bounding radius "
                      "%.9g",
                      p.y - kWallY, r);
    return {};
}
} // namespace

bool FindBodyFault(const CWorld& world, SBodyFault& fault)
{
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const CInertialBody& body = *world.Body(i);
        std::string what = NonFiniteState(body);
        if (what.empty())
            what = Escape(body);
        if (!what.empty())
        {
            fault.body = i;
            fault.what = what;
            return true;
        }
    }
    if (world.pusher != nullptr &&
        !(Finite(world.pusher->matrix) && Finite(world.pusher->linearVelocity)))
    {
        fault.body = -1;
        fault.what = "its position or velocity is not finite: " + Text(world.pusher->Position()) +
                     ", " + Text(world.pusher->linearVelocity);
        return true;
    }
    const CCamera* camera = world.camera.get();
    if (camera != nullptr &&
        !(std::isfinite(camera->azimuth) && Finite(camera->eye) && Finite(camera->centre)))
    {
        fault.body = -2;
        fault.what = "its eye, look-at point or azimuth is not finite: " + Text(camera->eye) +
                     ", " + Text(camera->centre);
        return true;
    }
    return false;
}
