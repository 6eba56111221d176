#pragma once
// The textured ground rectangle, 80 by 120 world units centred on the origin
// in the plane z = 0. Only a picture: the physical floor is a fixed plane.

#include "render/Drawable.h"

class CFloor : public CDrawable
{
public:
    explicit CFloor(CWorld* world);
    void DrawGeometry() override;
};
