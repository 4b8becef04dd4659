#include <gtest/gtest.h>

#include "PhysicsScene.hpp"

using namespace physics_test;

// The frame loop's physics: deferred destructions flushed when a step is due,
// each fixed update followed by its own world step, forces cleared after each step.
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

TEST_F(FrameLoop, ASlowFrameMovesTheWorldAsQuickFramesWould) {
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);
    auto box = makeBox("Box", {0, 0}, {100, 100}, b2_dynamicBody, false, 1.0f);
    auto pusher = addComponent<Pusher>(box);
    GameObjectManager::instance().flushPendingAdditions();
    b2Body& body = *box->rigidBody->body;
    // One frame of three steps: each fixed update's 1 N acts in its own step
    // only, so the box gains 3 x 1/60 m/s (not 3 N in each of three steps).
    frame(3.0f / 60.0f + 1e-4f);
    EXPECT_NEAR(body.GetLinearVelocity().x, 3.0f / 60.0f, 1e-4);
    const float slowDistance = body.GetPosition().x;
    // Nothing is left over for the next frame.
    pusher->force.SetZero();
    frame(1.0f / 60.0f);
    EXPECT_NEAR(body.GetLinearVelocity().x, 3.0f / 60.0f, 1e-4);

    // Three quick frames of one step each push and move the box just as much.
    body.SetTransform(b2Vec2(0.0f, 0.0f), 0.0f);
    body.SetLinearVelocity(b2Vec2(0.0f, 0.0f));
    pusher->force.Set(1.0f, 0.0f);
    for (int i = 0; i < 3; ++i) {
        frame(1.0f / 60.0f);
    }
    EXPECT_NEAR(body.GetLinearVelocity().x, 3.0f / 60.0f, 1e-4);
    EXPECT_NEAR(body.GetPosition().x, slowDistance, 1e-5);
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
