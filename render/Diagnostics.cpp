#include "render/Diagnostics.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "dynamics/Constants.h"

std::vector<CVector> g_diagnosticMarkers;
std::string g_diagnosticNote;

void ClearDiagnosticMarkers()
{
    g_diagnosticMarkers.clear();
}

void ClearDiagnosticNote()
{
    g_diagnosticNote.clear();
}

void DrawDiagnosticMarkers(float radius)
{
    DrawDiagnosticMarkers(radius, 0, g_diagnosticMarkers.size(), kYellow);
}

void DrawDiagnosticMarkers(float radius, size_t first, size_t count, const float colour[4])
{
    if (count == 0 || first >= g_diagnosticMarkers.size())
    {
        return;
    }
    count = std::min(count, g_diagnosticMarkers.size() - first);
    GLUquadric* const quadric = gluNewQuadric();
    if (quadric == nullptr)
    {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glColor3fv(colour);
    for (size_t i = first; i < first + count; ++i)
    {
        const CVector& point = g_diagnosticMarkers[i];
        glPushMatrix();
        glTranslatef(point.x, point.y, point.z);
        gluSphere(quadric, radius, 8, 16);
        glPopMatrix();
    }
    glPopAttrib();
    gluDeleteQuadric(quadric);
}
