#pragma once
// The pairwise contact tests. Every test returns the separation of shape a
// from shape b (negative when they overlap, its magnitude the depth; kInfinity
// when the pair is not tested) and, when the result is 0 or less, writes the
// world contact point and the unit normal pointing from b towards a.

#include "dynamics/Vector.h"

class CShape;
class CSphere;
class CCylinder;
class CTorus;

// Dispatches on the exact run-time types of both shapes.
float ShapeContact(const CShape& a, const CShape& b, CVector& point, CVector& normal);
// The most contact points one pair of shapes meets at under the Stable model.
inline constexpr int kMaxStablePairContacts = 2;

// The overlapping contacts of a pair under the Stable model, 0 to
// kMaxStablePairContacts, with their points, normals and (negative)
// separations. Two tori that cross meet at both crossings, each searched
// between the ring samples too, so that a resting contact's depth does not
// jump as the rings turn on each other; every other pair meets as in
// ShapeContact, at one point.
int ShapeContactsStable(const CShape& a, const CShape& b, CVector points[], CVector normals[],
                        float separations[]);

float SphereSphereContact(const CSphere& a, const CSphere& b, CVector& point, CVector& normal);
float SphereCylinderContact(const CSphere& a, const CCylinder& b, CVector& point,
                            CVector& normal);
float SphereTorusContact(const CSphere& a, const CTorus& b, CVector& point, CVector& normal);
float CylinderSphereContact(const CCylinder& a, const CSphere& b, CVector& point,
                            CVector& normal);
float CylinderCylinderContact(const CCylinder& a, const CCylinder& b, CVector& point,
                              CVector& normal);
float CylinderTorusContact(const CCylinder& a, const CTorus& b, CVector& point, CVector& normal);
float TorusSphereContact(const CTorus& a, const CSphere& b, CVector& point, CVector& normal);
float TorusCylinderContact(const CTorus& a, const CCylinder& b, CVector& point, CVector& normal);
float TorusTorusContact(const CTorus& a, const CTorus& b, CVector& point, CVector& normal);
int TorusTorusContactsRefined(const CTorus& a, const CTorus& b, CVector points[], CVector normals[],
                              float separations[]);
