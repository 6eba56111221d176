#include "dynamics/Body.h"

#include <bit>

#include "dynamics/FastSqrt.h"
#include "render/StartupState.h"
#include "shapes/Shape.h"

CBody::CBody(CWorld* world) : CDrawable(world)
{
    texture = g_bodyTexture;
    environmentTexture = g_envTexture;
}

CBody::~CBody()
{
    while (!shapes.empty())
    {
        shapes.pop_back();
    }
}

void CBody::Prepare()
{
    for (const auto& shape : shapes)
    {
        shape->Prepare();
    }
    if (boundingRadius == 0.0f)
    {
        for (const auto& shape : shapes)
        {
            const float reach =
                FastSqrt(shape->matrix.Translation().LengthSquared()) + shape->boundingRadius;
            if (reach > boundingRadius)
            {
                boundingRadius = reach;
            }
        }
    }
    CDrawable::Prepare();
}

void CBody::DrawGeometry()
{
    for (const auto& shape : shapes)
    {
        shape->Draw();
    }
}

bool CBody::GeometryKey(std::vector<uint32_t>& key) const
{
    for (const auto& shape : shapes)
    {
        key.push_back(shape->visible);
        if (shape->visible != 0)
        {
            for (const float element : shape->matrix.m)
            {
                key.push_back(std::bit_cast<uint32_t>(element));
            }
            shape->AppendGeometryKey(key);
        }
    }
    return true;
}

bool CBody::HasCoarseGeometry() const
{
    bool any = false;
    for (const auto& shape : shapes)
    {
        if (shape->visible != 0)
        {
            if (!shape->HasCoarseGeometry())
            {
                return false;
            }
            any = true;
        }
    }
    return any;
}

void CBody::DrawCoarseGeometry(int detail)
{
    for (const auto& shape : shapes)
    {
        shape->Draw(detail);
    }
}

void CBody::AddShape(CShape* shape)
{
    shapes.emplace_back(shape);
}

void CBody::KeepShapePlacements()
{
    shapePlacementsKept = false;
    for (const auto& shape : shapes)
    {
        shape->m_keptCentre = shape->WorldCentre();
        shape->m_keptAxis = shape->WorldAxis();
    }
    shapePlacementsKept = true;
}
