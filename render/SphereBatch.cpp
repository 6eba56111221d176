#include "render/SphereBatch.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstddef>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "render/Texture.h"
#include "shapes/Shape.h"

namespace
{
// The ambient light of the start state is white: with the colour standing
// for ambient and diffuse at once, a light-model ambient of 0.4 gives each
// body its own ambient of 0.4 times its diffuse colour.
constexpr float kAmbientShare = 0.4f;

// A unit sphere as the quadric draws it: stacks from the +z pole down,
// slices around z, texture s around and t from 1 at the top to 0.
struct SUnitSphere
{
    std::vector<float> points; // x, y, z, also the normal
    std::vector<float> texCoords;
    std::vector<uint32_t> indices;
};

SUnitSphere MakeUnitSphere(int slices, int stacks)
{
    SUnitSphere sphere;
    const float pi = 3.14159265f;
    for (int i = 0; i <= stacks; ++i)
    {
        const float rho = static_cast<float>(i) * pi / static_cast<float>(stacks);
        for (int j = 0; j <= slices; ++j)
        {
            const float theta =
                j == slices ? 0.0f : static_cast<float>(j) * 2.0f * pi / static_cast<float>(slices);
            sphere.points.push_back(-std::sin(theta) * std::sin(rho));
            sphere.points.push_back(std::cos(theta) * std::sin(rho));
            sphere.points.push_back(std::cos(rho));
            sphere.texCoords.push_back(static_cast<float>(j) / static_cast<float>(slices));
            sphere.texCoords.push_back(1.0f - static_cast<float>(i) / static_cast<float>(stacks));
        }
    }
    const uint32_t row = static_cast<uint32_t>(slices + 1);
    for (uint32_t i = 0; i < static_cast<uint32_t>(stacks); ++i)
    {
        for (uint32_t j = 0; j < static_cast<uint32_t>(slices); ++j)
        {
            const uint32_t a = i * row + j, b = a + row, c = a + 1, d = b + 1;
            // Counter-clockwise from outside, as the quadric's strips.
            for (const uint32_t index : {a, b, c, c, b, d})
            {
                sphere.indices.push_back(index);
            }
        }
    }
    return sphere;
}

// Slices around the sphere at each level of detail.
constexpr int kSlices[kCoarseDetailLevels + 1] = {24, 16, 12, 8};

size_t Level(int detail)
{
    return static_cast<size_t>(detail < 0                     ? 0
                               : detail > kCoarseDetailLevels ? kCoarseDetailLevels
                                                              : detail);
}

const SUnitSphere& UnitSphere(int detail)
{
    static const std::array<SUnitSphere, kCoarseDetailLevels + 1> spheres = {
        MakeUnitSphere(kSlices[0], 12), MakeUnitSphere(kSlices[1], 8),
        MakeUnitSphere(kSlices[2], 6), MakeUnitSphere(kSlices[3], 4)};
    return spheres[Level(detail)];
}

CMatrix4 Product(const CMatrix4& a, const CMatrix4& b)
{
    CMatrix4 p;
    for (int column = 0; column < 4; ++column)
    {
        for (int row = 0; row < 4; ++row)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
            {
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            }
            p.m[column * 4 + row] = sum;
        }
    }
    return p;
}

// Vertices per call: the arrays stay a few hundred kilobytes whatever the
// number of bodies.
constexpr size_t kFlushVertices = 8192;

uint8_t ColourByte(float channel)
{
    const float clamped = channel < 0.0f ? 0.0f : channel > 1.0f ? 1.0f : channel;
    return static_cast<uint8_t>(std::lround(clamped * 255.0f));
}
} // namespace

bool CSphereBatch::CanCarry(const CBody& body)
{
    for (int i = 0; i < 3; ++i)
    {
        if (body.ambient[i] != kAmbientShare * body.diffuse[i])
        {
            return false;
        }
    }
    bool any = false;
    for (const auto& shape : body.shapes)
    {
        if (shape->visible != 0)
        {
            if (dynamic_cast<const CSphere*>(shape.get()) == nullptr)
            {
                return false;
            }
            any = true;
        }
    }
    return any;
}

bool CSphereBatch::Alike(const CBody& body, const CBody& first)
{
    for (int i = 0; i < 4; ++i)
    {
        if (body.specular[i] != first.specular[i])
        {
            return false;
        }
    }
    return body.shininess == first.shininess && body.texture == first.texture;
}

void CSphereBatch::BeginLit(const CBody& first)
{
    static constexpr float kAmbientLight[4] = {kAmbientShare, kAmbientShare, kAmbientShare, 1.0f};
    m_lit = true;
    m_silhouettes = false;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kAmbientLight);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kBlack);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, first.specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, first.shininess);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    if (first.texture != nullptr)
    {
        glEnable(GL_TEXTURE_2D);
        first.texture->Bind();
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void CSphereBatch::BeginShadow(const float light[4], bool silhouettes)
{
    m_lit = false;
    m_silhouettes = silhouettes;
    for (int i = 0; i < 4; ++i)
    {
        m_light[i] = light[i];
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
}

void CSphereBatch::Add(const CBody& body, int detail)
{
    const SUnitSphere& unit = UnitSphere(detail);
    const size_t count = unit.points.size() / 3;
    const uint8_t colour[4] = {ColourByte(body.diffuse[0]), ColourByte(body.diffuse[1]),
                               ColourByte(body.diffuse[2]), ColourByte(body.diffuse[3])};
    for (const auto& shape : body.shapes)
    {
        if (shape->visible == 0)
        {
            continue;
        }
        const auto& sphere = static_cast<const CSphere&>(*shape);
        if (m_positions.size() / 3 + count > kFlushVertices)
        {
            Flush();
        }
        const CMatrix4 placement = Product(body.matrix, sphere.matrix);
        if (m_silhouettes && AddSilhouette(placement.TransformPoint(CVector(0.0f, 0.0f, 0.0f)),
                                           sphere.radius, kSlices[Level(detail)]))
        {
            continue;
        }
        const uint32_t first = static_cast<uint32_t>(m_positions.size() / 3);
        for (size_t v = 0; v < count; ++v)
        {
            const CVector n(unit.points[3 * v], unit.points[3 * v + 1], unit.points[3 * v + 2]);
            const CVector p = placement.TransformPoint(sphere.radius * n);
            m_positions.insert(m_positions.end(), {p.x, p.y, p.z});
            if (m_lit)
            {
                const CVector normal = placement.TransformDirection(n);
                m_normals.insert(m_normals.end(), {normal.x, normal.y, normal.z});
                m_texCoords.insert(m_texCoords.end(),
                                   {unit.texCoords[2 * v], unit.texCoords[2 * v + 1]});
                m_colours.insert(m_colours.end(), colour, colour + 4);
            }
        }
        for (const uint32_t index : unit.indices)
        {
            m_indices.push_back(first + index);
        }
    }
}

bool CSphereBatch::AddSilhouette(const CVector& centre, float radius, int slices)
{
    // The circle where the rays of the light touch the sphere: for a direction,
    // the great circle across it; for a point, the smaller circle nearer the
    // point, whose rays form the cone of the shadow.
    CVector toLight(m_light[0], m_light[1], m_light[2]);
    CVector middle = centre;
    float ring = radius;
    if (m_light[3] != 0.0f)
    {
        toLight = (1.0f / m_light[3]) * toLight - centre;
        const float distanceSquared = toLight.LengthSquared();
        // The sine of the cone's half angle, squared.
        const float share = radius * radius / distanceSquared;
        if (!(share < 1.0f))
        {
            return false;
        }
        middle = centre + share * toLight;
        ring = radius * std::sqrt(1.0f - share);
    }
    const float length = std::sqrt(toLight.LengthSquared());
    if (!(length > 0.0f))
    {
        return false;
    }
    const CVector axis = (1.0f / length) * toLight;
    // Counter-clockwise seen from the light, hence from above once flattened:
    // front-facing as the flattened sphere's upper half.
    CVector u = Cross(axis, CVector(0.0f, 0.0f, 1.0f));
    if (u.LengthSquared() < 1e-6f)
    {
        u = Cross(axis, CVector(1.0f, 0.0f, 0.0f));
    }
    u = (1.0f / std::sqrt(u.LengthSquared())) * u;
    const CVector v = Cross(axis, u);
    if (m_positions.size() / 3 + static_cast<size_t>(slices) > kFlushVertices)
    {
        Flush();
    }
    const uint32_t first = static_cast<uint32_t>(m_positions.size() / 3);
    const float pi = 3.14159265f;
    for (int k = 0; k < slices; ++k)
    {
        const float angle = static_cast<float>(k) * 2.0f * pi / static_cast<float>(slices);
        const CVector p = middle + (ring * std::cos(angle)) * u + (ring * std::sin(angle)) * v;
        m_positions.insert(m_positions.end(), {p.x, p.y, p.z});
    }
    for (uint32_t k = 1; k + 1 < static_cast<uint32_t>(slices); ++k)
    {
        m_indices.insert(m_indices.end(), {first, first + k, first + k + 1});
    }
    return true;
}

void CSphereBatch::Flush()
{
    if (!m_indices.empty())
    {
        glVertexPointer(3, GL_FLOAT, 0, m_positions.data());
        if (m_lit)
        {
            glNormalPointer(GL_FLOAT, 0, m_normals.data());
            glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_colours.data());
            glTexCoordPointer(2, GL_FLOAT, 0, m_texCoords.data());
        }
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_indices.size()), GL_UNSIGNED_INT,
                       m_indices.data());
    }
    m_positions.clear();
    m_normals.clear();
    m_texCoords.clear();
    m_colours.clear();
    m_indices.clear();
}

void CSphereBatch::End()
{
    Flush();
    glPopClientAttrib();
    if (m_lit)
    {
        glPopAttrib();
    }
}
