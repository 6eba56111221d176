#pragma once
// A primitive a body is built from. Its own matrix is its placement in the
// coordinates of the owning body: column 2 is its symmetry axis, column 3 its
// centre. It offers its deepest point against a plane, its inertia and its
// tessellated geometry; it is not a drawable of its own.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/ObjectPool.h"
#include "dynamics/Plane.h"
#include "dynamics/Vector.h"
#include "render/Transform.h"

class CInertialBody;

class CShape : public CTransform
{
public:
    CShape(CInertialBody* body, float mass, bool visible, bool collidable);

    // Shapes live side by side in the physics pool, in creation order.
    static void* operator new(std::size_t size) { return AllocatePhysicsObject(size); }
    static void operator delete(void* shape, std::size_t size) noexcept
    {
        FreePhysicsObject(shape, size);
    }

    // Signed distance of the deepest point (negative when penetrating); writes
    // that point in world coordinates and the lever of the spinning friction.
    virtual float PlaneContact(const CPlane& plane, CVector& point, float& lever) const = 0;
    // Signed distance from a world point to the surface.
    virtual float PointDistance(const CVector& point, CVector& surfacePoint,
                                CVector& normal) const = 0;
    // Immediate-mode geometry in the shape's own coordinates.
    virtual void DrawGeometry() const = 0;
    // Moments (Ixx, Iyy, Izz) about the centre along the shape's own axes.
    virtual CVector PrincipalInertia() const = 0;
    // The contact point of the Stable model against a plane, its signed
    // distance returned and its spinning-friction lever set: PlaneContact's,
    // except where a shape touching flat along a line or a face would leap
    // from edge to edge at every tiny tilt.
    virtual float StablePlaneContact(const CPlane& plane, CVector& point, float& lever) const;
    // Appends what DrawGeometry's output depends on (the type and the
    // dimensions), so that equal keys draw equal geometry.
    virtual void AppendGeometryKey(std::vector<uint32_t>& key) const = 0;

    // Diagonal inertia about the body origin along the body axes.
    CVector BodyInertia() const;
    // The geometry under the shape's local matrix; nothing when invisible.
    // A detail above 0 draws the coarser geometry of that level.
    void Draw(int detail = 0) const;
    // Whether DrawCoarseGeometry draws fewer facets than DrawGeometry.
    virtual bool HasCoarseGeometry() const;
    // The geometry with fewer facets, detail 1 (finest) to kCoarseDetailLevels;
    // the full geometry unless the shape has coarser ones.
    virtual void DrawCoarseGeometry(int detail) const;

    // The centre and the axis in world coordinates, through the body's matrix.
    // Inline (below): the pair tests take them for every pair of shapes.
    CVector WorldCentre() const;
    CVector WorldAxis() const;

    CInertialBody* body; // not owned
    uint8_t visible;
    uint8_t collidable;
    // ShapeContact's row or column for this shape's exact type, found on its
    // first test (an object's type never changes after construction); -2
    // until then.
    mutable int8_t pairTableIndex = -2;
    float mass;
    // World units about the shape's centre.
    float boundingRadius;

private:
    friend class CBody;

    // The world centre and axis as last worked out by
    // CBody::KeepShapePlacements; read only while the body says they hold.
    CVector m_keptCentre;
    CVector m_keptAxis;
};

class CSphere : public CShape
{
public:
    CSphere(CInertialBody* body, float radius, float mass, bool visible = true,
            bool collidable = true);
    float PlaneContact(const CPlane& plane, CVector& point, float& lever) const override;
    float PointDistance(const CVector& point, CVector& surfacePoint,
                        CVector& normal) const override;
    void DrawGeometry() const override;
    CVector PrincipalInertia() const override;
    void AppendGeometryKey(std::vector<uint32_t>& key) const override;
    bool HasCoarseGeometry() const override { return true; }
    // 16 x 8, 12 x 6 and 8 x 4 facets instead of 24 x 12.
    void DrawCoarseGeometry(int detail) const override;

    float radius;
};

// A solid spanning local z from -halfLength to +halfLength.
class CCylinder : public CShape
{
public:
    CCylinder(CInertialBody* body, float radius, float halfLength, float mass, bool visible = true,
              bool collidable = true);
    float PlaneContact(const CPlane& plane, CVector& point, float& lever) const override;
    float PointDistance(const CVector& point, CVector& surfacePoint,
                        CVector& normal) const override;
    void DrawGeometry() const override;
    CVector PrincipalInertia() const override;
    // Lying or standing nearly flat: a point that moves smoothly with the tilt.
    float StablePlaneContact(const CPlane& plane, CVector& point, float& lever) const override;
    void AppendGeometryKey(std::vector<uint32_t>& key) const override;

    float radius;
    float halfLength;
};

// A ring of tube centres of radius ringRadius about local z in the local xy
// plane, swept by a tube of radius tubeRadius.
class CTorus : public CShape
{
public:
    CTorus(CInertialBody* body, float tubeRadius, float ringRadius, float mass, bool visible = true,
           bool collidable = true);
    float PlaneContact(const CPlane& plane, CVector& point, float& lever) const override;
    // Lying nearly flat: a point that moves smoothly with the tilt.
    float StablePlaneContact(const CPlane& plane, CVector& point, float& lever) const override;
    float PointDistance(const CVector& point, CVector& surfacePoint,
                        CVector& normal) const override;
    void DrawGeometry() const override;
    CVector PrincipalInertia() const override;
    void AppendGeometryKey(std::vector<uint32_t>& key) const override;

    float tubeRadius;
    float ringRadius;
};

inline CVector CShape::WorldCentre() const
{
    if (body->shapePlacementsKept)
    {
        return m_keptCentre;
    }
    return body->matrix.TransformPoint(matrix.Translation());
}

inline CVector CShape::WorldAxis() const
{
    if (body->shapePlacementsKept)
    {
        return m_keptAxis;
    }
    return body->matrix.TransformDirection(matrix.Column(2));
}
