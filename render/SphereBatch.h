#pragma once
// Many sphere bodies drawn with few calls per pass: their facets are placed in
// world coordinates on the CPU and handed to the GL in vertex arrays of a
// bounded size, the body's colour riding along as a vertex colour. Only for
// bodies made of spheres alone whose material the colour can carry (ambient
// 0.4 times the diffuse colour, the same highlight and texture as the
// others); the frame draws the rest one by one.

#include <cstdint>
#include <vector>

#include "dynamics/Vector.h"

class CBody;
class CTexture;

class CSphereBatch
{
public:
    // Whether the body is made of visible spheres alone and its material can
    // be carried by a vertex colour.
    static bool CanCarry(const CBody& body);
    // Whether the body can join a batch whose material the first member sets.
    static bool Alike(const CBody& body, const CBody& first);

    // A lit pass with the material of first, under the caller's lights and
    // depth state; or a shadow pass, positions only, under the caller's
    // matrix, colour and stencil state. With silhouettes, each sphere of the
    // shadow pass is one polygon: its outline as the light (homogeneous
    // position, w = 0 for a direction) sees it.
    void BeginLit(const CBody& first);
    void BeginShadow(const float light[4], bool silhouettes);
    // The body's spheres at a level of detail (0 to kCoarseDetailLevels).
    void Add(const CBody& body, int detail);
    // Draws what is left and restores the state Begin changed.
    void End();

private:
    void Flush();
    // False when the light is inside the sphere and it has no outline.
    bool AddSilhouette(const CVector& centre, float radius, int slices);

    bool m_lit = false;
    bool m_silhouettes = false;
    float m_light[4] = {};
    std::vector<float> m_positions; // world x, y, z per vertex
    std::vector<float> m_normals;   // world
    std::vector<float> m_texCoords;
    std::vector<uint8_t> m_colours; // the body's diffuse RGBA
    std::vector<uint32_t> m_indices;
};
