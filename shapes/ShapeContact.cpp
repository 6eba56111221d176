#include "shapes/ShapeContact.h"

#include <typeinfo>

#include "dynamics/Constants.h"
#include "shapes/Shape.h"

namespace
{

using PairTest = float (*)(const CShape&, const CShape&, CVector&, CVector&);

// Adapts a typed test to the table's common signature; the table row and
// column guarantee the casts.
template <class A, class B, float (*Test)(const A&, const B&, CVector&, CVector&)>
float Typed(const CShape& a, const CShape& b, CVector& point, CVector& normal)
{
    return Test(static_cast<const A&>(a), static_cast<const B&>(b), point, normal);
}

const PairTest kPairTests[3][3] = {
    {Typed<CSphere, CSphere, SphereSphereContact>, Typed<CSphere, CCylinder, SphereCylinderContact>,
     Typed<CSphere, CTorus, SphereTorusContact>},
    {Typed<CCylinder, CSphere, CylinderSphereContact>,
     Typed<CCylinder, CCylinder, CylinderCylinderContact>,
     Typed<CCylinder, CTorus, CylinderTorusContact>},
    {Typed<CTorus, CSphere, TorusSphereContact>, Typed<CTorus, CCylinder, TorusCylinderContact>,
     Typed<CTorus, CTorus, TorusTorusContact>},
};

const std::type_info* const kTableTypes[3] = {&typeid(CSphere), &typeid(CCylinder),
                                              &typeid(CTorus)};

// Exact type identity: a class derived from one of the three is none of them,
// since its geometry is not what the tests assume. Within one image a type has
// one type_info object, so the addresses settle nearly every call without the
// name comparison that type_info equality may fall back to.
int FindTableIndex(const CShape& shape)
{
    const std::type_info& type = typeid(shape);
    for (int i = 0; i < 3; ++i)
    {
        if (&type == kTableTypes[i])
        {
            return i;
        }
    }
    for (int i = 0; i < 3; ++i)
    {
        if (type == *kTableTypes[i])
        {
            return i;
        }
    }
    return -1;
}

int TableIndex(const CShape& shape)
{
    if (shape.pairTableIndex == -2)
    {
        shape.pairTableIndex = static_cast<int8_t>(FindTableIndex(shape));
    }
    return shape.pairTableIndex;
}

} // namespace

float ShapeContact(const CShape& a, const CShape& b, CVector& point, CVector& normal)
{
    const int row = TableIndex(a);
    if (row < 0)
    {
        return kInfinity;
    }
    const int column = TableIndex(b);
    if (column < 0)
    {
        return kInfinity;
    }
    return kPairTests[row][column](a, b, point, normal);
}

int ShapeContactsStable(const CShape& a, const CShape& b, CVector points[], CVector normals[],
                        float separations[])
{
    constexpr int kTorusIndex = 2;
    const int row = TableIndex(a);
    const int column = TableIndex(b);
    if (row < 0 || column < 0)
    {
        return 0;
    }
    if (row == kTorusIndex && column == kTorusIndex)
    {
        return TorusTorusContactsRefined(static_cast<const CTorus&>(a),
                                         static_cast<const CTorus&>(b), points, normals,
                                         separations);
    }
    separations[0] = kPairTests[row][column](a, b, points[0], normals[0]);
    // Only a true overlap is a contact; touching, apart, untested
    // (kInfinity) and anything undefined are not.
    return separations[0] < 0.0f ? 1 : 0;
}
