#pragma once
// The base of everything drawn: a placement that compiles its geometry once
// into display lists (bare geometry, geometry with material and texture, and
// an additive sphere-map reflection) and replays them every frame.

#include <cstdint>
#include <vector>

#include "render/Transform.h"

// Levels of coarser geometry a drawable may offer besides its full one
// (detail 0): detail 1 is the finest of them, this the coarsest.
inline constexpr int kCoarseDetailLevels = 3;

class CGeometryCache;
class CTexture;
class CWorld;

class CDrawable : public CTransform
{
public:
    explicit CDrawable(CWorld* world);
    // Deletes every display list it compiled.
    ~CDrawable() override;
    CDrawable(const CDrawable&) = delete;
    CDrawable& operator=(const CDrawable&) = delete;

    // Compiles the display lists, then the inverse. Exactly once per object,
    // with the rendering context current. When the world shares geometry and
    // this drawable has a geometry key, it takes the shared list of that
    // geometry instead and compiles nothing of its own.
    void Prepare() override;

    // Appends what makes this drawable's geometry what it is; false when the
    // geometry is its own alone and cannot be shared.
    virtual bool GeometryKey(std::vector<uint32_t>& key) const;
    // Whether DrawCoarseGeometry has fewer facets than DrawGeometry; only
    // then, and only with shared geometry, are the coarse levels compiled.
    virtual bool HasCoarseGeometry() const;
    // The geometry at a coarser detail (1 to kCoarseDetailLevels); only called
    // while a display list is being compiled.
    virtual void DrawCoarseGeometry(int detail);

    // Emits the geometry in object coordinates; only called while a display
    // list is being compiled.
    virtual void DrawGeometry() = 0;

    // Geometry with material and texture. A detail above 0 takes the coarser
    // shared geometry of that level where there is one.
    void Draw(int detail = 0) const;
    // Geometry only, under the caller's colour, lighting and blending.
    void DrawBare(int detail = 0) const;
    // The reflection overlay; nothing without an environment texture.
    void DrawEnvironment(int detail = 0) const;
    // Material, texture and reflection state around the shared geometry, as
    // the own lists would set them; nothing but the geometry is cached.
    bool SharesGeometry() const { return m_sharedCache != nullptr; }
    // Every display-list name this drawable draws with, its own or shared.
    std::vector<unsigned> ListNames() const;

    CWorld* world; // not owned
    unsigned geometryList = 0;
    unsigned materialList = 0;
    unsigned environmentList = 0;
    float ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    float diffuse[4] = {0.7f, 0.7f, 0.7f, 1.0f};
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    CTexture* texture = nullptr;            // not owned
    CTexture* environmentTexture = nullptr; // not owned

private:
    void ReleaseLists();
    // The material list's commands around a geometry.
    template <typename TGeometry> void EmitLit(TGeometry geometry) const;
    // The environment list's commands around a geometry.
    template <typename TGeometry> void EmitEnvironment(TGeometry geometry) const;

    unsigned GeometryAt(int detail) const;

    // Where geometryList came from when it is shared; not owned.
    CGeometryCache* m_sharedCache = nullptr;
    // Shared coarser geometry, detail 1 first; 0 where there is none.
    unsigned m_coarseLists[kCoarseDetailLevels] = {};
};
