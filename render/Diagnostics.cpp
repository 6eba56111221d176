#include "render/Diagnostics.h"

#include <GL/gl.h>
#include <GL/glu.h>

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
    if (g_diagnosticMarkers.empty())
    {
        return;
    }
    GLUquadric* const quadric = gluNewQuadric();
    if (quadric == nullptr)
    {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glColor3fv(kYellow);
    for (const CVector& point : g_diagnosticMarkers)
    {
        glPushMatrix();
        glTranslatef(point.x, point.y, point.z);
        gluSphere(quadric, radius, 8, 16);
        glPopMatrix();
    }
    glPopAttrib();
    gluDeleteQuadric(quadric);
}
