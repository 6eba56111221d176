#include "dynamics/BodyContact.h"

#include <algorithm>
#include <bit>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/PenaltyLaw.h"
#include "dynamics/StableLaw.h"
#include "shapes/Shape.h"
#include "shapes/ShapeContact.h"

namespace
{

void SetCoefficients(const CInertialBody& a, const CInertialBody& b, SPairCoefficients& pair)
{
    pair.reducedMass = a.mass * b.mass / (a.mass + b.mass);
    pair.stiffness = kStiffnessPerMass * pair.reducedMass;

    pair.damping =
        DampingCoefficient(pair.reducedMass, AveragedRestitution(a.restitution, b.restitution));
    pair.friction = AveragedFriction(a.friction, b.friction);
}

// Sets the coefficients unless the last pair's hold for this one too.
void KeepCoefficients(const CInertialBody& a, const CInertialBody& b, SPairCoefficients& last)
{
    // Compared as bits: equal bits give equal coefficients, NaN included.
    const uint32_t key[6] = {
        std::bit_cast<uint32_t>(a.mass),        std::bit_cast<uint32_t>(b.mass),
        std::bit_cast<uint32_t>(a.restitution), std::bit_cast<uint32_t>(b.restitution),
        std::bit_cast<uint32_t>(a.friction),    std::bit_cast<uint32_t>(b.friction)};
    if (!last.valid || !std::equal(key, key + 6, last.key))
    {
        SetCoefficients(a, b, last);
        std::copy(key, key + 6, last.key);
        last.valid = true;
    }
}

} // namespace

void CollideBodies(CInertialBody& a, CInertialBody& b)
{
    SPairCoefficients coefficients;
    CollideBodies(a, b, coefficients);
}

void CollideBodies(CInertialBody& a, CInertialBody& b, SPairCoefficients& last)
{
    const CVector xa = a.Position();
    const CVector xb = b.Position();
    if (FastSqrt((xa - xb).LengthSquared()) >= a.boundingRadius + b.boundingRadius)
    {
        return;
    }
    KeepCoefficients(a, b, last);
    const float k = last.stiffness;
    const float c = last.damping;
    const float mu = last.friction;

    for (const auto& p : a.shapes)
    {
        if (!p->collidable)
        {
            continue;
        }
        for (const auto& q : b.shapes)
        {
            if (!q->collidable)
            {
                continue;
            }
            CVector point;
            CVector n;
            const float delta = ShapeContact(*p, *q, point, n);
            // Only a true overlap is a contact; touching, apart, untested
            // (kInfinity) and anything undefined are not.
            if (!(delta < 0.0f))
            {
                continue;
            }
            const CVector leverA = point - xa;
            const CVector leverB = point - xb;
            const CVector va = Cross(a.worldAngularVelocity, leverA) + a.linearVelocity;
            const CVector vb = Cross(b.worldAngularVelocity, leverB) + b.linearVelocity;
            const CVector v = va - vb;

            float spring = 0.0f;
            const CVector f = PenaltyForce(delta, n, v, k, c, mu, spring);

            a.force += f;
            a.torque += Cross(leverA, f);
            b.force += -f;
            b.torque += Cross(leverB, -f);
            ++a.contactCount;
            ++b.contactCount;
            if (a.contactLog != nullptr)
            {
                a.contactLog->Add(point, n, f, EContactKind::kBody);
            }
        }
    }
}

void CollideBodiesStable(CInertialBody& a, CInertialBody& b, SPairCoefficients& last, float h)
{
    const CVector xa = a.Position();
    const CVector xb = b.Position();
    if (FastSqrt((xa - xb).LengthSquared()) >= a.boundingRadius + b.boundingRadius)
    {
        return;
    }
    KeepCoefficients(a, b, last);
    const float k = last.stiffness;
    const float c = last.damping;
    const float mu = last.friction;

    uint32_t pIndex = 0;
    for (const auto& p : a.shapes)
    {
        const uint32_t shapeOfA = pIndex++;
        if (!p->collidable)
        {
            continue;
        }
        uint32_t qIndex = 0;
        for (const auto& q : b.shapes)
        {
            const uint32_t shapeOfB = qIndex++;
            if (!q->collidable)
            {
                continue;
            }
            CVector points[kMaxStablePairContacts];
            CVector normals[kMaxStablePairContacts];
            float separations[kMaxStablePairContacts] = {};
            const int count = ShapeContactsStable(*p, *q, points, normals, separations);
            for (int i = 0; i < count; ++i)
            {
                const CVector& point = points[i];
                const CVector& n = normals[i];
                const CVector leverA = point - xa;
                const CVector leverB = point - xb;
                const CVector va = Cross(a.worldAngularVelocity, leverA) + a.linearVelocity;
                const CVector vb = Cross(b.worldAngularVelocity, leverB) + b.linearVelocity;
                const CVector v = va - vb;

                float spring = 0.0f;
                // Each point of a pair of shapes keeps an anchor of its own.
                SContactAnchor& anchor =
                    a.Anchor(&b, (shapeOfA << 16 | shapeOfB) * kMaxStablePairContacts +
                                     static_cast<uint32_t>(i));
                const CVector f =
                    StablePenaltyForce(separations[i], n, v, k, c, mu, h, anchor, spring);

                a.force += f;
                a.torque += Cross(leverA, f);
                b.force += -f;
                b.torque += Cross(leverB, -f);
                const CVector roll =
                    StableRollingTorque(n, a.worldAngularVelocity - b.worldAngularVelocity, k,
                                        kRollingResistance * spring, h, anchor);
                a.torque += roll;
                b.torque += -roll;
                ++a.contactCount;
                ++b.contactCount;
                if (a.contactLog != nullptr)
                {
                    a.contactLog->Add(point, n, f, EContactKind::kBody);
                }
            }
        }
    }
}
