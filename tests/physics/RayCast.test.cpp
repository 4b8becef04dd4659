#include <gtest/gtest.h>

#include <limits>

#include "PhysicsScene.hpp"
#include "physics/RayCastCallback.hpp"

using namespace physics_test;

namespace {
struct RayCastScene : SceneTest {
    void SetUp() override {
        PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);
        // Spans y 120 .. 140 px, that is 1.2 .. 1.4 m, under x = 150 px.
        floor = makeBox("Floor", {150, 130}, {100, 20}, b2_staticBody);
        GameObjectManager::instance().flushPendingAdditions();
    }
    std::shared_ptr<GameObject> floor;
};
} // namespace

// No world exists in a fresh process, nor after the reset the test main makes before every case.
TEST(RayCast, WithoutWorldFindsNothing) {
    EXPECT_FALSE(PhysicsManager::instance().rayCast(0xFFFF, 0, 0, 0, 1, 10));
}

TEST_F(RayCastScene, StartsInPixelsRunsInMetresAndMeasuresByFraction) {
    auto hit = PhysicsManager::instance().rayCast(0xFFFF, 150, 100, 0, 1, 0.4f);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->gameObject.lock(), floor);
    EXPECT_NEAR(hit->point.x, 1.5f, 1e-4);
    EXPECT_NEAR(hit->point.y, 1.2f, 1e-4);
    EXPECT_NEAR(hit->normal.y, -1.0f, 1e-4);
    EXPECT_NEAR(hit->distance, 0.2f, 1e-4);
}

TEST_F(RayCastScene, DirectionLengthIsIgnored) {
    auto unit = PhysicsManager::instance().rayCast(0xFFFF, 150, 100, 0, 1, 0.4f);
    auto longer = PhysicsManager::instance().rayCast(0xFFFF, 150, 100, 0, 5, 0.4f);
    ASSERT_TRUE(unit);
    ASSERT_TRUE(longer);
    EXPECT_FLOAT_EQ(unit->distance, longer->distance);
    EXPECT_FLOAT_EQ(unit->point.y, longer->point.y);
}

TEST_F(RayCastScene, TooShortOrZeroDirectionFindsNothing) {
    auto& physics = PhysicsManager::instance();
    EXPECT_FALSE(physics.rayCast(0xFFFF, 150, 100, 0, 1, 0.1f));
    EXPECT_FALSE(physics.rayCast(0xFFFF, 150, 100, 0, 0, 0.4f));
}

// A ray from a body flung very far rounds to no length; one from a position
// that is not a number has none: both find nothing instead of aborting.
TEST_F(RayCastScene, RaysThatRoundToNothingFindNothing) {
    auto& physics = PhysicsManager::instance();
    EXPECT_FALSE(physics.rayCast(0xFFFF, 150, -3.0e10f, 0, 1, 0.4f));
    EXPECT_FALSE(physics.rayCast(0xFFFF, 150, std::numeric_limits<float>::quiet_NaN(), 0, 1, 0.4f));
    EXPECT_FALSE(physics.rayCast(0xFFFF, std::numeric_limits<float>::infinity(), 100, 0, 1, 0.4f));
    EXPECT_TRUE(physics.rayCast(0xFFFF, 150, 100, 0, 1, 0.4f));
}

TEST_F(RayCastScene, MaskThatMatchesNoFixtureFindsNothing) {
    EXPECT_FALSE(PhysicsManager::instance().rayCast(0x0002, 150, 100, 0, 1, 0.4f));
    EXPECT_TRUE(PhysicsManager::instance().rayCast(0x0001, 150, 100, 0, 1, 0.4f));
}

TEST_F(RayCastScene, ClosestAcceptedFixtureWinsAndSkippedOnesDoNotShortenTheRay) {
    auto& physics = PhysicsManager::instance();
    auto ghosts = physics.getOrCreateCollisionLayer("ghosts");
    // Closer than the floor (1.08 .. 1.12 m), but on a layer outside the mask.
    auto ghost = makeBox("Ghost", {150, 110}, {100, 4}, b2_staticBody);
    ghost->rigidBody->setCollisionLayer(ghosts);
    // Closer still, but inactive.
    auto sleeper = makeBox("Sleeper", {150, 105}, {100, 4}, b2_staticBody);
    sleeper->setActive(false);
    auto hit = physics.rayCast(0x0001, 150, 100, 0, 1, 0.4f);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->gameObject.lock(), floor);
    EXPECT_NEAR(hit->distance, 0.2f, 1e-4);

    // With the mask open, the ghost is the closest.
    hit = physics.rayCast(0xFFFF, 150, 100, 0, 1, 0.4f);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->gameObject.lock(), ghost);
    EXPECT_NEAR(hit->distance, 0.08f, 1e-4);
}

TEST_F(RayCastScene, CollectAllKeepsEveryAcceptedHit) {
    auto& physics = PhysicsManager::instance();
    makeBox("Upper", {150, 110}, {100, 4}, b2_staticBody);
    PhysicsManager::RayCastCallback callback;
    callback.collectAll = true;
    physics.world->RayCast(&callback, b2Vec2(1.5f, 1.0f), b2Vec2(1.5f, 1.4f));
    EXPECT_EQ(callback.hits.size(), 2u);
    EXPECT_FALSE(callback.closest);
}
