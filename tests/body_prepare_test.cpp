// Assembling a body: centre of mass, moments, bounding radius, the factories,
// the random material and the order in which a body lets go of its shapes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Random.h"
#include "render/StartupState.h"
#include "shapes/Shape.h"

namespace
{
class BodyPrepareTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }
};

TEST_F(BodyPrepareTest, TwoShapesMoveSoThatTheOriginIsTheCentreOfMass)
{
    CInertialBody body(nullptr);
    auto* light = new CSphere(&body, 1.0f, 1.0f);
    auto* heavy = new CSphere(&body, 1.0f, 3.0f);
    heavy->matrix.SetTranslation(4.0f, 0.0f, 0.0f);
    body.AddShape(light);
    body.AddShape(heavy);
    body.matrix.SetTranslation(10.0f, 20.0f, 30.0f);
    body.Prepare();

    EXPECT_EQ(body.mass, 4.0f);
    EXPECT_EQ(light->matrix.Translation(), CVector(-3.0f, 0.0f, 0.0f));
    EXPECT_EQ(heavy->matrix.Translation(), CVector(1.0f, 0.0f, 0.0f));
    // The body itself does not move.
    EXPECT_EQ(body.Position(), CVector(10.0f, 20.0f, 30.0f));
    // Own moments 0.4 and 1.2, offsets 1 * 9 and 3 * 1 about y and z.
    EXPECT_FLOAT_EQ(body.moments.x, 1.6f);
    EXPECT_FLOAT_EQ(body.moments.y, 13.6f);
    EXPECT_FLOAT_EQ(body.moments.z, 13.6f);
    // The farther shape: 3 from the origin plus its own radius.
    EXPECT_EQ(body.boundingRadius, 4.0f);
    // Each shape's inverse is its own placement's inverse.
    EXPECT_EQ(light->inverse.Translation(), CVector(3.0f, 0.0f, 0.0f));
    EXPECT_EQ(heavy->inverse.Translation(), CVector(-1.0f, 0.0f, 0.0f));
    // A body is prepared at the identity orientation: the inverse is the
    // inverse placement.
    EXPECT_EQ(body.inverse.Translation(), CVector(-10.0f, -20.0f, -30.0f));
}

TEST_F(BodyPrepareTest, BoundingRadiusAlreadySetIsKept)
{
    CInertialBody body(nullptr);
    body.AddShape(new CSphere(&body, 2.0f, 1.0f));
    body.boundingRadius = 7.5f;
    body.Prepare();
    EXPECT_EQ(body.boundingRadius, 7.5f);
}

TEST_F(BodyPrepareTest, BoundingRadiusCoversEveryShape)
{
    CInertialBody body(nullptr);
    auto* torus = new CTorus(&body, 0.5f, 4.0f, 1.0f);
    auto* cylinder = new CCylinder(&body, 1.0f, 1.0f, 1.0f);
    cylinder->matrix.SetTranslation(0.0f, 0.0f, 4.0f);
    body.AddShape(torus);
    body.AddShape(cylinder);
    body.Prepare();
    // Centre of mass at z = 2: the torus reaches 2 + 4.5, the cylinder 2 + 2.
    EXPECT_EQ(body.boundingRadius, 6.5f);
}

TEST_F(BodyPrepareTest, MasslessBodyKeepsItsShapesFinite)
{
    CInertialBody body(nullptr);
    auto* marker = new CSphere(&body, 1.0f, 0.0f);
    marker->matrix.SetTranslation(2.0f, 0.0f, 0.0f);
    body.AddShape(marker);
    body.Prepare();
    EXPECT_EQ(body.mass, 0.0f);
    EXPECT_EQ(marker->matrix.Translation(), CVector(2.0f, 0.0f, 0.0f));
}

TEST_F(BodyPrepareTest, InfiniteMassKeepsTheOrigin)
{
    CInertialBody body(nullptr);
    auto* anchor = new CSphere(&body, 1.0f, kInfinity);
    anchor->matrix.SetTranslation(2.0f, 0.0f, 0.0f);
    body.AddShape(anchor);
    body.Prepare();
    EXPECT_EQ(body.mass, kInfinity);
    EXPECT_EQ(anchor->matrix.Translation(), CVector(2.0f, 0.0f, 0.0f));
}

struct SFactoryCase
{
    std::string name;
    CInertialBody* (*make)(CWorld*, float, float, float);
    float a, b, mass;
    CVector moments;
    float boundingRadius;
};

std::ostream& operator<<(std::ostream& out, const SFactoryCase& c)
{
    return out << c.name;
}

CInertialBody* MakeSphere(CWorld* w, float mass, float a, float)
{
    return CreateSphereBody(w, mass, a);
}

const SFactoryCase kFactoryCases[] = {
    {"Sphere", &MakeSphere, 1.0f, 0.0f, 5.0f, {2.0f, 2.0f, 2.0f}, 1.0f},
    {"Cylinder", &CreateCylinderBody, 1.0f, 1.0f, 3.0f, {3.8915928f, 3.8915928f, 1.5f}, 2.0f},
    {"Torus", &CreateTorusBody, 1.0f, 5.0f, 3.0f, {45.19f, 45.19f, 88.90f}, 6.0f},
};

class BodyFactoryTest : public ::testing::TestWithParam<SFactoryCase>
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }
};

TEST_P(BodyFactoryTest, OnePreparedShapeAtRestAtTheOrigin)
{
    const SFactoryCase& c = GetParam();
    const std::unique_ptr<CInertialBody> body(c.make(nullptr, c.mass, c.a, c.b));
    ASSERT_EQ(body->shapes.size(), 1u);
    const CShape& shape = *body->shapes.front();
    EXPECT_EQ(shape.body, body.get());
    EXPECT_EQ(shape.visible, 1);
    EXPECT_EQ(shape.collidable, 1);
    EXPECT_EQ(shape.mass, c.mass);
    EXPECT_EQ(body->mass, c.mass);
    EXPECT_NEAR(body->moments.x, c.moments.x, 0.01f);
    EXPECT_NEAR(body->moments.y, c.moments.y, 0.01f);
    EXPECT_NEAR(body->moments.z, c.moments.z, 0.01f);
    EXPECT_EQ(body->boundingRadius, c.boundingRadius);
    EXPECT_EQ(body->matrix, kIdentity);
    EXPECT_EQ(body->linearVelocity, kZeroVector);
    EXPECT_EQ(body->angularVelocity, kZeroVector);
    EXPECT_EQ(body->worldAngularVelocity, kZeroVector);
}

INSTANTIATE_TEST_SUITE_P(Factories, BodyFactoryTest, ::testing::ValuesIn(kFactoryCases),
                         [](const auto& info) { return info.param.name; });

TEST(BodyMaterial, ThreeDrawsGiveRedGreenBlueAndTheRestIsFixed)
{
    SeedRandom(4242u);
    const int draws[3] = {Random(), Random(), Random()};
    SeedRandom(4242u);
    const CInertialBody body(nullptr);
    for (int i = 0; i < 3; ++i)
    {
        const float expected = 0.5f + 0.4f * static_cast<float>(draws[i]) / 32767.0f;
        EXPECT_FLOAT_EQ(body.diffuse[i], expected) << "channel " << i;
        EXPECT_GE(body.diffuse[i], 0.5f);
        EXPECT_LE(body.diffuse[i], 0.9f);
        EXPECT_FLOAT_EQ(body.ambient[i], 0.4f * expected) << "channel " << i;
        EXPECT_EQ(body.specular[i], 0.8f);
    }
    EXPECT_EQ(body.diffuse[3], 1.0f);
    EXPECT_EQ(body.ambient[3], 1.0f);
    EXPECT_EQ(body.specular[3], 1.0f);
    EXPECT_EQ(body.shininess, 20.0f);
    // Exactly three draws: the next one is the fourth of the sequence.
    const int fourth = Random();
    SeedRandom(4242u);
    Random();
    Random();
    Random();
    EXPECT_EQ(fourth, Random());
}

TEST(BodyMaterial, BodiesUseTheSharedTextures)
{
    // Any distinct addresses do: the body only keeps the pointers.
    alignas(8) static char bodyTexture[8];
    alignas(8) static char envTexture[8];
    g_bodyTexture = reinterpret_cast<CTexture*>(bodyTexture);
    g_envTexture = reinterpret_cast<CTexture*>(envTexture);
    const CInertialBody body(nullptr);
    EXPECT_EQ(body.texture, g_bodyTexture);
    EXPECT_EQ(body.environmentTexture, g_envTexture);
    g_bodyTexture = nullptr;
    g_envTexture = nullptr;
}

// Records the order in which shapes are destroyed.
class CTracedSphere : public CSphere
{
public:
    CTracedSphere(CInertialBody* body, int tag, std::vector<int>& log)
        : CSphere(body, 1.0f, 1.0f), m_tag(tag), m_log(log)
    {
    }
    ~CTracedSphere() override { m_log.push_back(m_tag); }

private:
    int m_tag;
    std::vector<int>& m_log;
};

TEST(BodyLifetime, ShapesAreDeletedFromTheLastToTheFirst)
{
    std::vector<int> log;
    {
        CInertialBody body(nullptr);
        for (int tag = 0; tag < 4; ++tag)
        {
            body.AddShape(new CTracedSphere(&body, tag, log));
        }
    }
    EXPECT_EQ(log, (std::vector<int>{3, 2, 1, 0}));
}
} // namespace
