#include <gtest/gtest.h>

#include "PhysicsScene.hpp"

using namespace physics_test;

namespace {
struct ContactScene : SceneTest {
    void SetUp() override { PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f); }

    // A static 200 x 20 platform 100 pixels below the origin.
    std::shared_ptr<GameObject> platform(bool sensor = false) {
        return makeBox("Platform", {0, 100}, {200, 20}, b2_staticBody, sensor);
    }
    static std::shared_ptr<ContactRecorder> record(const std::shared_ptr<GameObject>& object) {
        return addComponent<ContactRecorder>(object);
    }
};
} // namespace

TEST_F(ContactScene, FallingBoxEntersStaysAndExitsWhenItLeaves) {
    auto ground = platform();
    auto box = makeBox("Box", {0, 0}, {20, 20}, b2_dynamicBody);
    auto onGround = record(ground);
    auto onBox = record(box);

    for (int i = 0; i < 120 && onBox->calls.empty(); ++i) {
        step();
    }
    ASSERT_EQ(onBox->calls, std::vector<std::string>{"enter:Platform"});
    EXPECT_EQ(onGround->calls, std::vector<std::string>{"enter:Box"});

    step(3);
    EXPECT_EQ(onBox->count("stay:Platform"), 3u);
    EXPECT_EQ(onGround->count("stay:Box"), 3u);
    EXPECT_EQ(onBox->count("enter:Platform"), 1u);
    // Comes to rest on top of the platform: centre 20 px above its centre
    // (less the two polygon skins of 1 px).
    step(60);
    EXPECT_NEAR(box->transform->getPosition().y, 80.0f, 2.5f);

    // Moved away by game code: the body follows and the contact ends.
    box->transform->setPosition(0, -500);
    step();
    EXPECT_EQ(onBox->count("exit:Platform"), 1u);
    EXPECT_EQ(onGround->count("exit:Box"), 1u);
    EXPECT_TRUE(box->collisions.empty());
    const size_t callsAfterExit = onBox->calls.size();
    step();
    EXPECT_EQ(onBox->calls.size(), callsAfterExit);
}

TEST_F(ContactScene, SensorAgainstSolidGivesTriggersOnBothAndNeverCollisions) {
    auto zone = platform(true);
    auto box = makeBox("Box", {0, 0}, {20, 20}, b2_dynamicBody);
    auto onZone = record(zone);
    auto onBox = record(box);
    step(90);
    EXPECT_EQ(onBox->count("triggerEnter:Platform"), 1u);
    EXPECT_EQ(onZone->count("triggerEnter:Box"), 1u);
    EXPECT_EQ(onBox->count("triggerExit:Platform"), 1u);
    EXPECT_EQ(onZone->count("triggerExit:Box"), 1u);
    EXPECT_GT(onBox->count("triggerStay:Platform"), 0u);
    EXPECT_EQ(onBox->count("enter:Platform") + onZone->count("enter:Box"), 0u);
    // The box fell through the sensor.
    EXPECT_GT(box->transform->getPosition().y, 150.0f);
}

TEST_F(ContactScene, TwoSensorsGiveNothing) {
    auto zone = platform(true);
    auto box = makeBox("Box", {0, 0}, {20, 20}, b2_dynamicBody, true);
    auto onZone = record(zone);
    auto onBox = record(box);
    step(90);
    EXPECT_TRUE(onZone->calls.empty());
    EXPECT_TRUE(onBox->calls.empty());
}

TEST_F(ContactScene, ObjectInactiveInItsHierarchyHearsNothingNorDoesItsPartner) {
    auto ground = platform();
    auto parent = makeObject("Group", {0, 0});
    parent->setActive(false);
    auto box = makeBox("Box", {0, 0}, {20, 20}, b2_dynamicBody);
    box->parent = parent;
    auto onGround = record(ground);
    auto onBox = record(box);
    step(90);
    EXPECT_TRUE(onGround->calls.empty());
    EXPECT_TRUE(onBox->calls.empty());
}

TEST_F(ContactScene, LayersThatDoNotCollideNeverTouch) {
    auto& physics = PhysicsManager::instance();
    physics.getOrCreateCollisionLayer("player1");
    physics.getOrCreateCollisionLayer("beard1");
    physics.setLayerCollision("player1", "beard1", false, true);
    auto ground = platform();
    ground->rigidBody->setCollisionLayer(physics.getCollisionLayer("player1"));
    auto box = makeBox("Box", {0, 0}, {20, 20}, b2_dynamicBody);
    box->rigidBody->setCollisionLayer(physics.getCollisionLayer("beard1"));
    auto onGround = record(ground);
    auto onBox = record(box);
    step(90);
    EXPECT_TRUE(onGround->calls.empty());
    EXPECT_TRUE(onBox->calls.empty());
    EXPECT_GT(box->transform->getPosition().y, 150.0f);
}

TEST_F(ContactScene, ClosingAFilterWhileTouchingEndsTheContact) {
    auto& physics = PhysicsManager::instance();
    auto ground = platform();
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    auto onBox = record(box);
    step(5);
    ASSERT_EQ(onBox->count("enter:Platform"), 1u);
    physics.applyCollisionRule("_default", "#Any", "false");
    step(2);
    EXPECT_EQ(onBox->count("exit:Platform"), 1u);
}
