#pragma once
// Something with a place: a placement matrix (object to parent coordinates,
// column-major as glMultMatrixf takes it) and its affine inverse.

#include "dynamics/Matrix4.h"

class CTransform
{
public:
    CTransform() = default;
    virtual ~CTransform() = default;

    // Brings derived data up to date once the matrix is set: here the inverse,
    // which keeps its previous value when the matrix is not affine.
    virtual void Prepare() { matrix.InvertAffine(inverse); }

    CMatrix4 matrix;
    CMatrix4 inverse;
};
