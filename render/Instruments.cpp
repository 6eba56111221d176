#include "render/Instruments.h"

#include <GL/gl.h>

#include <algorithm>

#include "dynamics/Constants.h"
#include "render/Diagnostics.h"
#include "world/World.h"

namespace
{
constexpr float kPlaneContactColour[4] = {0.1f, 0.9f, 1.0f, 1.0f}; // cyan
constexpr float kBodyContactColour[4] = {1.0f, 0.45f, 0.1f, 1.0f}; // orange
constexpr float kGrabColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kLineWidth = 2.0f; // pixels

void DrawContactNormals(const CContactLog& log)
{
    glBegin(GL_LINES);
    for (const SContactRecord& record : log.Records())
    {
        glColor4fv(record.kind == EContactKind::kPlane ? kPlaneContactColour : kBodyContactColour);
        const float length = std::min(record.force * kContactLinePerForce, kContactLineLongest);
        const CVector end = record.point + length * record.normal;
        glVertex3f(record.point.x, record.point.y, record.point.z);
        glVertex3f(end.x, end.y, end.z);
    }
    glEnd();
}

void DrawGrabLine(const SGrab& grab)
{
    const CVector from = GrabbedPoint(grab);
    glColor4fv(kGrabColour);
    glBegin(GL_LINES);
    glVertex3f(from.x, from.y, from.z);
    glVertex3f(grab.target.x, grab.target.y, grab.target.z);
    glEnd();
    glPointSize(6.0f);
    glBegin(GL_POINTS);
    glVertex3f(grab.target.x, grab.target.y, grab.target.z);
    glEnd();
    glPointSize(1.0f);
}
} // namespace

void DrawInstruments(const CWorld& world, float markerRadius)
{
    const bool contacts = world.recordContacts && !g_diagnosticMarkers.empty();
    if (contacts)
    {
        // A resting contact lies under its body: the points and normals are
        // drawn over everything, as an x-ray of where the bodies touch.
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_DEPTH_TEST);
        const size_t planes = std::min(world.contactMarkersOfPlanes, g_diagnosticMarkers.size());
        DrawDiagnosticMarkers(markerRadius, 0, planes, kPlaneContactColour);
        DrawDiagnosticMarkers(markerRadius, planes, g_diagnosticMarkers.size() - planes,
                              kBodyContactColour);
        glPopAttrib();
    }
    else
    {
        DrawDiagnosticMarkers(markerRadius);
    }
    if (!contacts && !world.grab)
    {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(kLineWidth);
    if (contacts)
    {
        DrawContactNormals(world.contactLog);
    }
    if (world.grab)
    {
        DrawGrabLine(*world.grab);
    }
    glPopAttrib();
}
