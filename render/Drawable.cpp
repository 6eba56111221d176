#include "render/Drawable.h"

#include <GL/gl.h>

#include "dynamics/Constants.h"
#include "render/GeometryCache.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "world/World.h"

namespace
{
void DeleteList(unsigned& list)
{
    if (list != 0)
    {
        glDeleteLists(list, 1);
        list = 0;
    }
}

void DrawListAt(const CMatrix4& matrix, unsigned list)
{
    glPushMatrix();
    glMultMatrixf(matrix.m);
    glCallList(list);
    glPopMatrix();
}
} // namespace

CDrawable::CDrawable(CWorld* owner) : world(owner) {}

CDrawable::~CDrawable()
{
    ReleaseLists();
}

void CDrawable::ReleaseLists()
{
    if (m_sharedCache != nullptr)
    {
        m_sharedCache->Release(geometryList);
        for (unsigned& list : m_coarseLists)
        {
            if (list != 0)
            {
                m_sharedCache->Release(list);
                list = 0;
            }
        }
        m_sharedCache = nullptr;
        geometryList = 0;
    }
    DeleteList(geometryList);
    DeleteList(materialList);
    DeleteList(environmentList);
}

bool CDrawable::GeometryKey(std::vector<uint32_t>&) const
{
    return false;
}

bool CDrawable::HasCoarseGeometry() const
{
    return false;
}

void CDrawable::DrawCoarseGeometry(int)
{
    DrawGeometry();
}

std::vector<unsigned> CDrawable::ListNames() const
{
    std::vector<unsigned> names;
    for (const unsigned list : {geometryList, materialList, environmentList})
    {
        if (list != 0)
        {
            names.push_back(list);
        }
    }
    for (const unsigned list : m_coarseLists)
    {
        if (list != 0)
        {
            names.push_back(list);
        }
    }
    return names;
}

unsigned CDrawable::GeometryAt(int detail) const
{
    if (detail > 0 && detail <= kCoarseDetailLevels && m_coarseLists[detail - 1] != 0)
    {
        return m_coarseLists[detail - 1];
    }
    return geometryList;
}

template <typename TGeometry> void CDrawable::EmitLit(TGeometry geometry) const
{
    if (g_separateSpecular)
    {
        glPushAttrib(GL_ENABLE_BIT);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kBlack);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
        if (texture != nullptr)
        {
            glEnable(GL_TEXTURE_2D);
            texture->Bind();
        }
        geometry();
        glPopAttrib();
    }
    else
    {
        // Without separate specular colour the texture would modulate the
        // highlight too, so the highlight is added untextured in a second pass.
        glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kBlack);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBlack);
        if (texture != nullptr)
        {
            glEnable(GL_TEXTURE_2D);
            texture->Bind();
        }
        geometry();

        glDepthMask(GL_FALSE);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kBlack);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kBlack);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glDisable(GL_TEXTURE_2D);
        geometry();
        glPopAttrib();
    }
}

template <typename TGeometry> void CDrawable::EmitEnvironment(TGeometry geometry) const
{
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glColor3f(0.3f, 0.3f, 0.25f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_2D);
    environmentTexture->Bind();
    geometry();
    glPopAttrib();
}

void CDrawable::Prepare()
{
    // A second preparation replaces the lists instead of leaking the first ones.
    ReleaseLists();

    std::vector<uint32_t> key;
    if (world != nullptr && world->drawTuning.sharedGeometry && GeometryKey(key))
    {
        m_sharedCache = &world->geometryCache;
        geometryList = m_sharedCache->Acquire(key, [this] { DrawGeometry(); });
        if (HasCoarseGeometry())
        {
            for (int detail = 1; detail <= kCoarseDetailLevels; ++detail)
            {
                key.push_back(static_cast<uint32_t>(detail));
                m_coarseLists[detail - 1] =
                    m_sharedCache->Acquire(key, [this, detail] { DrawCoarseGeometry(detail); });
                key.pop_back();
            }
        }
        CTransform::Prepare();
        return;
    }

    geometryList = glGenLists(1);
    glNewList(geometryList, GL_COMPILE);
    DrawGeometry();
    glEndList();

    materialList = glGenLists(1);
    glNewList(materialList, GL_COMPILE);
    EmitLit([this] { DrawGeometry(); });
    glEndList();

    if (environmentTexture != nullptr)
    {
        environmentList = glGenLists(1);
        glNewList(environmentList, GL_COMPILE);
        EmitEnvironment([this] { DrawGeometry(); });
        glEndList();
    }

    CTransform::Prepare();
}

void CDrawable::Draw(int detail) const
{
    if (m_sharedCache == nullptr)
    {
        DrawListAt(matrix, materialList);
        return;
    }
    const unsigned list = GeometryAt(detail);
    glPushMatrix();
    glMultMatrixf(matrix.m);
    EmitLit([list] { glCallList(list); });
    glPopMatrix();
}

void CDrawable::DrawBare(int detail) const
{
    DrawListAt(matrix, GeometryAt(detail));
}

void CDrawable::DrawEnvironment(int detail) const
{
    if (environmentTexture == nullptr)
    {
        return;
    }
    if (m_sharedCache == nullptr)
    {
        DrawListAt(matrix, environmentList);
        return;
    }
    const unsigned list = GeometryAt(detail);
    glPushMatrix();
    glMultMatrixf(matrix.m);
    EmitEnvironment([list] { glCallList(list); });
    glPopMatrix();
}
