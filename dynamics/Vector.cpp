#include "dynamics/Vector.h"

#include "dynamics/FastSqrt.h"

void CVector::Normalize()
{
    const float length = FastSqrt(LengthSquared());
    if (length != 0.0f)
    {
        x /= length;
        y /= length;
        z /= length;
    }
}
