#include <gtest/gtest.h>

#include <box2d/b2_distance_joint.h>
#include <box2d/b2_prismatic_joint.h>
#include <box2d/b2_revolute_joint.h>

#include "PhysicsScene.hpp"
#include "physics/DistanceJointComponent.hpp"
#include "physics/PrismaticJointComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/WeldJointComponent.hpp"

using namespace physics_test;

namespace {
struct JointScene : ::testing::Test {
    void SetUp() override {
        PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
        a = makeBox("A", {0, 0}, {20, 20}, b2_dynamicBody);
        b = makeBox("B", {150, 0}, {20, 20}, b2_dynamicBody);
    }
    std::shared_ptr<GameObject> a;
    std::shared_ptr<GameObject> b;
};
} // namespace

TEST_F(JointScene, RevoluteAnchorsAreLocalAndReferenceAngleZero) {
    a->rigidBody->body->SetTransform(a->rigidBody->body->GetPosition(), 0.7f);
    b->rigidBody->body->SetTransform(b->rigidBody->body->GetPosition(), -0.3f);
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(0, 20), sf::Vector2f(0, -20));
    ASSERT_TRUE(hinge->joint);
    EXPECT_TRUE(hinge->isEnabled());
    auto* joint = static_cast<b2RevoluteJoint*>(hinge->joint);
    EXPECT_NEAR(joint->GetLocalAnchorA().y, 0.2f, 1e-6);
    EXPECT_NEAR(joint->GetLocalAnchorB().y, -0.2f, 1e-6);
    EXPECT_EQ(joint->GetReferenceAngle(), 0.0f);
    EXPECT_EQ(hinge->bodyA, a->rigidBody->body);
    EXPECT_EQ(hinge->bodyB, b->rigidBody->body);
    // The chain pulls the two points together.
    step(60);
    const b2Vec2 gap = joint->GetAnchorA() - joint->GetAnchorB();
    EXPECT_LT(gap.Length(), 0.02f);
}

TEST_F(JointScene, DistanceRestLengthIsTheAnchorsDistance) {
    auto rope = addComponent<DistanceJointComponent>(a, b, sf::Vector2f(0, 0), sf::Vector2f(150, 0));
    ASSERT_TRUE(rope->joint);
    EXPECT_NEAR(static_cast<b2DistanceJoint*>(rope->joint)->GetLength(), 1.5f, 1e-5);
}

TEST_F(JointScene, PrismaticAnchorsAreMetresAndAxisIsNormalised) {
    auto slider = addComponent<PrismaticJointComponent>(a, b, sf::Vector2f(0, 0), sf::Vector2f(0, 0),
                                                        sf::Vector2f(0, 3));
    ASSERT_TRUE(slider->joint);
    auto* joint = static_cast<b2PrismaticJoint*>(slider->joint);
    EXPECT_NEAR(joint->GetLocalAxisA().y, 1.0f, 1e-6);
    EXPECT_EQ(joint->GetLocalAnchorB().x, 0.0f);
    auto weld = addComponent<WeldJointComponent>(b, a, sf::Vector2f(75, 0));
    EXPECT_TRUE(weld->joint);
}

TEST_F(JointScene, JoinedBodiesDoNotCollideUnlessAsked) {
    auto c = makeBox("C", {5, 0}, {20, 20}, b2_dynamicBody);
    auto onA = addComponent<ContactRecorder>(a);
    addComponent<RevoluteJointComponent>(a, c, sf::Vector2f(0, 0), sf::Vector2f(-5, 0));
    step(3);
    EXPECT_EQ(onA->count("enter:C"), 0u);

    auto d = makeBox("D", {-5, 0}, {20, 20}, b2_dynamicBody);
    auto hinge = std::make_shared<RevoluteJointComponent>(d, sf::Vector2f(0, 0), sf::Vector2f(5, 0));
    hinge->collideConnected = true;
    attachNewComponent(a, hinge);
    step(3);
    EXPECT_EQ(onA->count("enter:D"), 1u);
}

TEST_F(JointScene, ConnectedObjectWithoutBodyGivesNothingEver) {
    auto loose = makeObject("Loose", {0, 0});
    auto hinge = addComponent<RevoluteJointComponent>(a, loose, sf::Vector2f(0, 0), sf::Vector2f(0, 0));
    EXPECT_FALSE(hinge->joint);
    EXPECT_FALSE(hinge->jointDef);
    EXPECT_FALSE(hinge->isEnabled());
    addComponent<RigidBodyComponent>(loose, b2_dynamicBody, 1.0f);
    hinge->createJoint();
    EXPECT_FALSE(hinge->joint);
    // Joined to itself: refused as well.
    auto self = addComponent<WeldJointComponent>(a, a, sf::Vector2f(0, 0));
    EXPECT_FALSE(self->joint);
}

TEST_F(JointScene, OtherBodyDestroyedFirstClearsTheComponent) {
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(0, 20), sf::Vector2f(0, -20));
    ASSERT_TRUE(hinge->joint);
    b->removeComponent(b->rigidBody);
    EXPECT_FALSE(hinge->joint);
    EXPECT_FALSE(hinge->bodyA);
    EXPECT_FALSE(hinge->bodyB);
    EXPECT_FALSE(hinge->ownerCell);
    EXPECT_FALSE(hinge->isEnabled());
    hinge->createJoint();
    EXPECT_FALSE(hinge->joint);
    step(5);
}

TEST_F(JointScene, ConnectedObjectFreedFirstClearsTheComponent) {
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(0, 20), sf::Vector2f(0, -20));
    GameObjectManager::instance().flushPendingAdditions();
    GameObjectManager::instance().persistentObjects.clear();
    b.reset();
    EXPECT_FALSE(hinge->joint);
    EXPECT_FALSE(hinge->isEnabled());
    hinge->createJoint();
    EXPECT_FALSE(hinge->joint);
}

TEST_F(JointScene, ReplacedOwnBodyIsJoinedAgainFromTheStoredDefinition) {
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(0, 20), sf::Vector2f(0, -20));
    a->removeComponent(a->rigidBody);
    EXPECT_FALSE(hinge->joint);
    ASSERT_TRUE(hinge->jointDef);
    // The definition still names the destroyed body; the new rigid body's
    // init makes the joint with the new one.
    auto replacement = addComponent<RigidBodyComponent>(a, b2_dynamicBody, 1.0f);
    ASSERT_TRUE(hinge->joint);
    EXPECT_EQ(hinge->joint->GetBodyA(), replacement->body);
    EXPECT_EQ(hinge->bodyA, replacement->body);
    EXPECT_NEAR(static_cast<b2RevoluteJoint*>(hinge->joint)->GetLocalAnchorA().y, 0.2f, 1e-6);
    step(5);
}

TEST_F(JointScene, DestroyJointKeepsTheDefinitionForLater) {
    auto rope = addComponent<DistanceJointComponent>(a, b, sf::Vector2f(0, 0), sf::Vector2f(150, 0));
    rope->destroyJoint();
    EXPECT_FALSE(rope->joint);
    EXPECT_EQ(PhysicsManager::instance().world->GetJointCount(), 0);
    rope->createJoint();
    EXPECT_TRUE(rope->joint);
    rope->createJoint();
    EXPECT_EQ(PhysicsManager::instance().world->GetJointCount(), 1);
}
