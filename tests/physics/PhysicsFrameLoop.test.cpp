#include <gtest/gtest.h>

#include "PhysicsScene.hpp"

using namespace physics_test;

// The frame loop's physics: deferred destructions flushed when a step is due,
// every fixed update before every world step, forces cleared once per frame.
namespace {
struct Pusher : Component {
    b2Vec2 force{1.0f, 0.0f};
    void fixedUpdate(float, float) override { getGameObject()->rigidBody->applyForce(force.x, force.y); }
};

struct FrameLoop : SceneTest {
    void SetUp() override {
        // Drawing never comes due: the window is never made.
        game.frameInterval = 1000.0f;
    }
    void frame(float delta) {
        game.runFrame(times, [delta] { return delta; });
    }
    Game game;
    FrameTimes times;
};
} // namespace

TEST_F(FrameLoop, WithoutWorldFramesRunAsUsual) {
    frame(0.1f);
    EXPECT_NEAR(times.fixedTime, 0.1f, 1e-5);
}

TEST_F(FrameLoop, ForcesOfAllFixedUpdatesActInEveryStepAndAreClearedOnce) {
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);
    auto box = makeBox("Box", {0, 0}, {100, 100}, b2_dynamicBody, false, 1.0f);
    auto pusher = addComponent<Pusher>(box);
    GameObjectManager::instance().flushPendingAdditions();
    // Three fixed updates push 1 N each, then three steps all feel 3 N.
    frame(3.0f / 60.0f + 1e-4f);
    EXPECT_NEAR(box->rigidBody->body->GetLinearVelocity().x, 9.0f / 60.0f, 1e-4);
    // Nothing is left over for the next frame.
    pusher->force.SetZero();
    frame(1.0f / 60.0f);
    EXPECT_NEAR(box->rigidBody->body->GetLinearVelocity().x, 9.0f / 60.0f, 1e-4);
}

TEST_F(FrameLoop, PendingDestructionsWaitForADueStep) {
    auto& physics = PhysicsManager::instance();
    physics.createWorld(0.0f, 10.0f, 100.0f);
    b2BodyDef definition;
    b2Body* orphan = physics.world->CreateBody(&definition);
    b2Body* other = physics.world->CreateBody(&definition);
    b2PolygonShape shape;
    shape.SetAsBox(1.0f, 1.0f);
    b2Fixture* fixture = other->CreateFixture(&shape, 1.0f);
    physics.pendingBodies.push_back(orphan);
    physics.pendingFixtures.push_back(fixture);
    frame(0.001f);
    EXPECT_EQ(physics.world->GetBodyCount(), 2);
    frame(1.0f / 60.0f);
    EXPECT_EQ(physics.world->GetBodyCount(), 1);
    EXPECT_EQ(other->GetFixtureList(), nullptr);
    EXPECT_TRUE(physics.pendingBodies.empty());
    EXPECT_TRUE(physics.pendingFixtures.empty());
}

TEST_F(FrameLoop, BodiesMoveOnlyInFramesWithASteps) {
    PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
    auto box = makeBox("Box", {0, 0}, {10, 10}, b2_dynamicBody);
    GameObjectManager::instance().flushPendingAdditions();
    frame(0.005f);
    EXPECT_EQ(box->rigidBody->body->GetPosition().y, 0.0f);
    frame(0.015f);
    EXPECT_GT(box->rigidBody->body->GetPosition().y, 0.0f);
}
