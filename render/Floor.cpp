#include "render/Floor.h"

#include <GL/gl.h>

#include "render/StartupState.h"

CFloor::CFloor(CWorld* owner) : CDrawable(owner)
{
    ambient[0] = ambient[1] = ambient[2] = 0.35f;
    diffuse[0] = diffuse[1] = diffuse[2] = 0.5f;
    texture = g_floorTexture;
}

void CFloor::DrawGeometry()
{
    // Counter-clockwise seen from +z: front-facing from above, culled from below.
    // The texture repeats 2.8 times across x and 4 times along y.
    glBegin(GL_TRIANGLE_STRIP);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(-1.4f, -2.0f);
    glVertex3f(-40.0f, -60.0f, 0.0f);
    glTexCoord2f(1.4f, -2.0f);
    glVertex3f(40.0f, -60.0f, 0.0f);
    glTexCoord2f(-1.4f, 2.0f);
    glVertex3f(-40.0f, 60.0f, 0.0f);
    glTexCoord2f(1.4f, 2.0f);
    glVertex3f(40.0f, 60.0f, 0.0f);
    glEnd();
}
