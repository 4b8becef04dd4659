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
struct JointScene : SceneTest {
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

TEST_F(JointScene, RevoluteMotorTurnsToItsLimitAndKeepsItsSettingsInANewWorld) {
    auto hub = makeBox("Hub", {0, 300}, {20, 20}, b2_staticBody);
    auto arm = makeBox("Arm", {50, 300}, {60, 10}, b2_dynamicBody);
    auto hinge = addComponent<RevoluteJointComponent>(hub, arm, sf::Vector2f(0, 0), sf::Vector2f(-50, 0));
    ASSERT_TRUE(hinge->joint);
    // Given the wrong way round: the limit is still 0 .. 0.5 rad.
    hinge->setLimits(0.5f, 0.0f);
    hinge->enableLimit(true);
    hinge->setMotorSpeed(-2.0f);
    hinge->setMaxMotorTorque(50.0f);
    hinge->enableMotor(true);
    step(60);
    auto* joint = static_cast<b2RevoluteJoint*>(hinge->joint);
    EXPECT_NEAR(joint->GetJointAngle(), 0.0f, 0.02f);
    hinge->setMotorSpeed(2.0f);
    step(60);
    EXPECT_NEAR(joint->GetJointAngle(), 0.5f, 0.02f);
    EXPECT_NEAR(joint->GetJointSpeed(), 0.0f, 0.05f);

    // A new world: the re-created bodies are joined again with the same settings.
    PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
    // The joint belongs to the hub: its body is made last, when both exist.
    arm->rigidBody->init();
    hub->rigidBody->init();
    ASSERT_TRUE(hinge->liveJoint());
    joint = static_cast<b2RevoluteJoint*>(hinge->joint);
    EXPECT_TRUE(joint->IsLimitEnabled());
    EXPECT_TRUE(joint->IsMotorEnabled());
    EXPECT_EQ(joint->GetLowerLimit(), 0.0f);
    EXPECT_EQ(joint->GetUpperLimit(), 0.5f);
    EXPECT_EQ(joint->GetMotorSpeed(), 2.0f);
    EXPECT_EQ(joint->GetMaxMotorTorque(), 50.0f);
    hinge->enableMotor(false);
    hinge->setMaxMotorTorque(-3.0f);
    EXPECT_EQ(joint->GetMaxMotorTorque(), 0.0f);
    // Without the motor the arm falls back until the lower limit holds it.
    step(90);
    EXPECT_FALSE(joint->IsMotorEnabled());
    EXPECT_NEAR(joint->GetJointAngle(), 0.5f, 0.02f);
    hinge->enableLimit(false);
    step(30);
    EXPECT_GT(joint->GetJointAngle(), 0.6f);
}

TEST_F(JointScene, PrismaticMotorSlidesToItsLimitAndKeepsItsSettingsWhenMadeAgain) {
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);
    auto rail = makeBox("Rail", {0, 0}, {20, 20}, b2_staticBody);
    auto carriage = makeBox("Carriage", {0, 0}, {20, 20}, b2_dynamicBody);
    auto slider = addComponent<PrismaticJointComponent>(rail, carriage, sf::Vector2f(0, 0),
                                                        sf::Vector2f(0, 0), sf::Vector2f(1, 0));
    ASSERT_TRUE(slider->joint);
    slider->setLimits(-0.2f, 0.3f);
    slider->enableLimit(true);
    slider->setMotorSpeed(1.0f);
    slider->setMaxMotorForce(100.0f);
    slider->enableMotor(true);
    step(60);
    auto* joint = static_cast<b2PrismaticJoint*>(slider->joint);
    EXPECT_NEAR(joint->GetJointTranslation(), 0.3f, 0.01f);
    EXPECT_NEAR(carriage->rigidBody->body->GetPosition().y, 0.0f, 1e-4);

    slider->destroyJoint();
    slider->setMotorSpeed(-1.0f);
    slider->createJoint();
    ASSERT_TRUE(slider->joint);
    step(60);
    joint = static_cast<b2PrismaticJoint*>(slider->joint);
    EXPECT_NEAR(joint->GetJointTranslation(), -0.2f, 0.01f);
    EXPECT_EQ(joint->GetMaxMotorForce(), 100.0f);
}

TEST_F(JointScene, DistanceRangeLetsTheBodyHangFurtherAndSurvivesARebuild) {
    auto hook = makeBox("Hook", {0, 300}, {20, 20}, b2_staticBody);
    auto weight = makeBox("Weight", {0, 400}, {20, 20}, b2_dynamicBody);
    auto rope =
        addComponent<DistanceJointComponent>(hook, weight, sf::Vector2f(0, 300), sf::Vector2f(0, 400));
    ASSERT_TRUE(rope->joint);
    rope->setMinLength(0.5f);
    rope->setMaxLength(2.0f);
    auto* joint = static_cast<b2DistanceJoint*>(rope->joint);
    EXPECT_NEAR(joint->GetMinLength(), 0.5f, 1e-6);
    EXPECT_NEAR(joint->GetMaxLength(), 2.0f, 1e-6);
    // The weight falls from 1 m below the hook until the rope is 2 m long.
    step(90);
    EXPECT_NEAR(weight->rigidBody->body->GetPosition().y, 5.0f, 0.02f);

    rope->destroyJoint();
    rope->createJoint();
    joint = static_cast<b2DistanceJoint*>(rope->joint);
    ASSERT_TRUE(joint);
    EXPECT_NEAR(joint->GetMinLength(), 0.5f, 1e-6);
    EXPECT_NEAR(joint->GetMaxLength(), 2.0f, 1e-6);
    // A maximum below the minimum takes the minimum down with it.
    rope->setMaxLength(0.2f);
    EXPECT_NEAR(joint->GetMinLength(), 0.2f, 1e-6);
    EXPECT_NEAR(joint->GetMaxLength(), 0.2f, 1e-6);
    EXPECT_EQ(rope->minLength, 0.2f);
}

// Box2D asserts on a body or joint placed at no number: the engine refuses
// them with a line instead, and the rest of the world steps on.
TEST_F(JointScene, BodiesAndJointsAtPositionsThatAreNotNumbersAreRefused) {
    auto lost = makeBox("Lost", {NAN, 0}, {20, 20}, b2_dynamicBody);
    EXPECT_FALSE(lost->rigidBody->liveBody());
    EXPECT_FALSE(lost->rigidBody->enabled);
    auto far = makeBox("Far", {0, INFINITY}, {20, 20}, b2_dynamicBody);
    EXPECT_FALSE(far->rigidBody->liveBody());
    auto toLost = addComponent<WeldJointComponent>(a, lost, sf::Vector2f(0, 0));
    EXPECT_FALSE(toLost->joint);

    // A body whose solver blew up gets no new joint.
    b->rigidBody->liveBody()->SetTransform(b2Vec2(NAN, NAN), 0.0f);
    auto weld = addComponent<WeldJointComponent>(a, b, sf::Vector2f(0, 0));
    EXPECT_FALSE(weld->joint);
    auto rope = addComponent<DistanceJointComponent>(b, a, sf::Vector2f(0, 0), sf::Vector2f(0, 0));
    EXPECT_FALSE(rope->joint);

    EXPECT_FALSE(rope->jointDef) << "anchors taken from such a body would be no numbers either";

    // Back at a number it is joined as before; the refused ones stay inert.
    b->rigidBody->liveBody()->SetTransform(b2Vec2(1.5f, 0.0f), 0.0f);
    rope->createJoint();
    EXPECT_FALSE(rope->joint);
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(0, 0), sf::Vector2f(0, 0));
    EXPECT_TRUE(hinge->joint);
    step(5);
    EXPECT_TRUE(a->rigidBody->liveBody()->GetPosition().IsValid());
}
