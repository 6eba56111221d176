// Bodies and shapes come from the physics pool: whole cache lines, side by
// side in creation order, slots reused once given back.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/ObjectPool.h"
#include "shapes/Shape.h"

namespace
{
constexpr std::uintptr_t kLine = 64;

std::uintptr_t Address(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

std::uintptr_t SlotBytes(std::size_t size)
{
    return (size + kLine - 1) / kLine * kLine;
}

class ObjectPoolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "the general heap serves under AddressSanitizer";
#endif
    }
};

TEST_F(ObjectPoolTest, BodiesAndTheirShapesLieSideBySideInCreationOrder)
{
    constexpr int kBodies = 40;
    std::vector<std::unique_ptr<CInertialBody>> bodies;
    for (int i = 0; i < kBodies; ++i)
    {
        bodies.emplace_back(new CInertialBody(nullptr));
        bodies.back()->AddShape(new CSphere(bodies.back().get(), 1.0f, 1.0f));
        // Something else on the general heap between bodies, as the
        // renderer's display lists are.
        std::unique_ptr<char[]> between(new char[700]);
        between[0] = 1;
    }
    const std::uintptr_t bodyStride = SlotBytes(sizeof(CInertialBody));
    const std::uintptr_t shapeStride = SlotBytes(sizeof(CSphere));
    int bodiesAdjacent = 0;
    int shapesAdjacent = 0;
    for (int i = 0; i < kBodies; ++i)
    {
        EXPECT_EQ(Address(bodies[i].get()) % kLine, 0u);
        EXPECT_EQ(Address(bodies[i]->shapes[0].get()) % kLine, 0u);
        if (i > 0)
        {
            bodiesAdjacent +=
                Address(bodies[i].get()) - Address(bodies[i - 1].get()) == bodyStride ? 1 : 0;
            shapesAdjacent +=
                Address(bodies[i]->shapes[0].get()) - Address(bodies[i - 1]->shapes[0].get()) ==
                        shapeStride
                    ? 1
                    : 0;
        }
    }
    // A new block may start once in a while; every other neighbour is next
    // door.
    EXPECT_GE(bodiesAdjacent, kBodies - 3);
    EXPECT_GE(shapesAdjacent, kBodies - 3);
}

TEST_F(ObjectPoolTest, AGivenBackSlotServesTheNextObjectOfItsSize)
{
    // Sizes of 3, 3, 4 and 40 lines: the last is beyond the pooled sizes.
    void* const a = AllocatePhysicsObject(150);
    void* const b = AllocatePhysicsObject(190);
    void* const c = AllocatePhysicsObject(200);
    void* const large = AllocatePhysicsObject(2500);
    EXPECT_EQ(Address(large) % kLine, 0u);
    FreePhysicsObject(a, 150);
    // Another size class leaves the slot alone.
    void* const d = AllocatePhysicsObject(250);
    EXPECT_NE(d, a);
    void* const e = AllocatePhysicsObject(129);
    EXPECT_EQ(e, a);
    for (void* p : {b, c, d, e})
    {
        EXPECT_EQ(Address(p) % kLine, 0u);
    }
    FreePhysicsObject(b, 190);
    FreePhysicsObject(c, 200);
    FreePhysicsObject(d, 250);
    FreePhysicsObject(e, 129);
    FreePhysicsObject(large, 2500);
    FreePhysicsObject(nullptr, 64);
}

} // namespace
