#pragma once
// The base of everything drawn: a placement that compiles its geometry once
// into display lists (bare geometry, geometry with material and texture, and
// an additive sphere-map reflection) and replays them every frame.

#include "render/Transform.h"

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
    // with the rendering context current.
    void Prepare() override;

    // Emits the geometry in object coordinates; only called while a display
    // list is being compiled.
    virtual void DrawGeometry() = 0;

    // Geometry with material and texture.
    void Draw() const;
    // Geometry only, under the caller's colour, lighting and blending.
    void DrawBare() const;
    // The reflection overlay; nothing without an environment texture.
    void DrawEnvironment() const;

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
};
