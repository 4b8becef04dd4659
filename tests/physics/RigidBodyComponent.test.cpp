#include <gtest/gtest.h>

#include <stdexcept>

#include "PhysicsScene.hpp"
#include "physics/PhysicsCreators.hpp"

using namespace physics_test;

namespace {
struct RigidBodyScene : SceneTest {
    void SetUp() override { PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f); }
};

PropertyMap mapObject(PropertyMap settings) {
    settings[""] = "rigidbody";
    settings.emplace("#layer", "_default");
    settings.emplace("#width", "100");
    settings.emplace("#height", "100");
    return settings;
}
} // namespace

// No world exists in a fresh process, nor after the reset the test main makes before every case.
TEST(RigidBodyComponent, WithoutWorldDisablesItselfForGood) {
    auto object = makeObject("Lonely", {0, 0});
    auto rigidBody = addComponent<RigidBodyComponent>(object, b2_dynamicBody, 1.0f);
    ASSERT_TRUE(rigidBody);
    EXPECT_FALSE(rigidBody->enabled);
    EXPECT_FALSE(rigidBody->body);
    EXPECT_EQ(object->rigidBody, rigidBody);
}

TEST_F(RigidBodyScene, OneColliderIsScaledToTheConfiguredMass) {
    auto object = makeBox("Crate", {0, 0}, {100, 100}, b2_dynamicBody, false, 30.0f);
    EXPECT_NEAR(object->rigidBody->body->GetMass(), 30.0f, 1e-3);
    EXPECT_NEAR(object->getComponent<ColliderComponent>()->fixture->GetDensity(), 30.0f, 1e-3);
}

TEST_F(RigidBodyScene, TwoCollidersTogetherWeighTheConfiguredMass) {
    auto object = makeBox("Crate", {0, 0}, {100, 40}, b2_dynamicBody, false, 10.0f);
    addComponent<CircleColliderComponent>(object, 35.0f);
    EXPECT_NEAR(object->rigidBody->body->GetMass(), 10.0f, 1e-3);
}

TEST_F(RigidBodyScene, CollidersAddedBeforeTheBodyAttachAtInit) {
    auto& physics = PhysicsManager::instance();
    auto layer = physics.getOrCreateCollisionLayer("walls");
    physics.applyCollisionRule("walls", "#Any", "false");
    auto object = makeObject("Crate", {0, 0});
    auto box = addComponent<BoxColliderComponent>(object, sf::Vector2f(0, 0), sf::Vector2f(100, 100));
    auto circle = addComponent<CircleColliderComponent>(object, 20.0f);
    EXPECT_FALSE(box->fixture);
    auto rigidBody = addComponent<RigidBodyComponent>(object, b2_dynamicBody, 5.0f);
    ASSERT_TRUE(box->fixture);
    ASSERT_TRUE(circle->fixture);
    EXPECT_NEAR(rigidBody->body->GetMass(), 5.0f, 1e-3);
    rigidBody->setCollisionLayer(layer);
    EXPECT_EQ(box->fixture->GetFilterData().categoryBits, layer->filter.categoryBits);
    EXPECT_EQ(circle->fixture->GetFilterData().maskBits, 0);
}

TEST_F(RigidBodyScene, StaticBodyKeepsNoMass) {
    auto object = makeBox("Wall", {0, 0}, {100, 100}, b2_staticBody, false, 30.0f);
    EXPECT_EQ(object->rigidBody->body->GetMass(), 0.0f);
    EXPECT_EQ(object->rigidBody->body->GetType(), b2_staticBody);
}

TEST_F(RigidBodyScene, StartsAtTheTransformInMetresAndRadians) {
    auto object = makeObject("Turned", {250, 120});
    object->transform->setRotation(90.0f);
    auto rigidBody = addComponent<RigidBodyComponent>(object, b2_kinematicBody, 1.0f);
    EXPECT_NEAR(rigidBody->body->GetPosition().x, 2.5f, 1e-5);
    EXPECT_NEAR(rigidBody->body->GetPosition().y, 1.2f, 1e-5);
    EXPECT_NEAR(rigidBody->body->GetAngle(), b2_pi / 2.0f, 1e-5);
    EXPECT_EQ(rigidBody->body->GetType(), b2_kinematicBody);
}

TEST_F(RigidBodyScene, ParentIsDroppedAtInitButThePlacementKept) {
    auto group = makeObject("Group", {100, 50});
    group->transform->setScale(2.0f, 2.0f);
    auto child = makeObject("Child", {10, 10});
    child->parent = group;
    ASSERT_EQ(child->transform->getPosition(), sf::Vector2f(120, 70));
    addComponent<RigidBodyComponent>(child, b2_dynamicBody, 1.0f);
    EXPECT_FALSE(child->lockParent());
    EXPECT_EQ(child->transform->getLocalPosition(), sf::Vector2f(120, 70));
    EXPECT_EQ(child->transform->getScale(), sf::Vector2f(2, 2));
    EXPECT_NEAR(child->rigidBody->body->GetPosition().x, 1.2f, 1e-5);
}

TEST_F(RigidBodyScene, SecondRigidBodyIsRefused) {
    auto object = makeBox("Crate", {0, 0}, {10, 10}, b2_dynamicBody);
    auto first = object->rigidBody;
    EXPECT_FALSE(addComponent<RigidBodyComponent>(object, b2_staticBody, 1.0f));
    EXPECT_FALSE(GameObjectManager::instance().createComponent("rigidbody", object, mapObject({})));
    EXPECT_EQ(object->rigidBody, first);
    EXPECT_EQ(object->getComponents<RigidBodyComponent>().size(), 1u);
}

TEST_F(RigidBodyScene, TransformFollowsTheBody) {
    auto object = makeBox("Crate", {0, 0}, {10, 10}, b2_dynamicBody);
    step(30);
    const b2Vec2 position = object->rigidBody->body->GetPosition();
    EXPECT_GT(position.y, 0.1f);
    // The transform shows the body as it was before the frame's step.
    step(1);
    EXPECT_NEAR(object->transform->getPosition().y, position.y * 100.0f, 1e-3);
    EXPECT_GT(object->rigidBody->body->GetPosition().y, position.y);
}

TEST_F(RigidBodyScene, MovedTransformTeleportsTheBodyAndKeepsItsVelocity) {
    auto object = makeBox("Crate", {0, 0}, {10, 10}, b2_dynamicBody);
    step(10);
    const b2Vec2 velocity = object->rigidBody->body->GetLinearVelocity();
    object->transform->setPosition(500, -40);
    object->transform->setRotation(45);
    object->transform->markMoved();
    object->fixedUpdate(fixedStep, 0.0f);
    EXPECT_NEAR(object->rigidBody->body->GetPosition().x, 5.0f, 1e-5);
    EXPECT_NEAR(object->rigidBody->body->GetPosition().y, -0.4f, 1e-5);
    EXPECT_NEAR(object->rigidBody->body->GetAngle(), b2_pi / 4.0f, 1e-5);
    EXPECT_NEAR(object->rigidBody->body->GetLinearVelocity().y, velocity.y, 1e-5);
    EXPECT_FALSE(object->rigidBody->transformChanged);
}

TEST_F(RigidBodyScene, SpeedLimits) {
    auto object = makeBox("Crate", {0, 0}, {10, 10}, b2_dynamicBody);
    auto& rigidBody = *object->rigidBody;
    rigidBody.maxSpeed = 2.0f;
    rigidBody.setVelocity(3.0f, 4.0f);
    EXPECT_NEAR(rigidBody.getVelocity().x, 1.2f, 1e-5);
    EXPECT_NEAR(rigidBody.getVelocity().y, 1.6f, 1e-5);

    rigidBody.maxSpeed = -1.0f;
    rigidBody.maxSpeedX = 5.0f;
    rigidBody.setVelocity(-8.0f, 20.0f);
    EXPECT_NEAR(rigidBody.getVelocity().x, -5.0f, 1e-5);
    EXPECT_NEAR(rigidBody.getVelocity().y, 20.0f, 1e-5);

    // The per-axis limits do not apply while the overall limit is set.
    rigidBody.maxSpeed = 100.0f;
    rigidBody.setVelocity(-8.0f, 20.0f);
    EXPECT_NEAR(rigidBody.getVelocity().x, -8.0f, 1e-5);
}

TEST_F(RigidBodyScene, CreatorReadsTypeMassLayerAndConstraints) {
    auto& physics = PhysicsManager::instance();
    auto layer = physics.getOrCreateCollisionLayer("Players");
    auto object = makeObject("Player", {100, 0});
    auto component = GameObjectManager::instance().createComponent(
        "RigidBody", object,
        mapObject({{"type", "dynamic"}, {"mass", "30"}, {"#layer", "Players"}, {"constrains", "rx"}}));
    auto rigidBody = std::dynamic_pointer_cast<RigidBodyComponent>(component);
    ASSERT_TRUE(rigidBody);
    EXPECT_EQ(rigidBody->bodyType, b2_dynamicBody);
    EXPECT_EQ(rigidBody->mass, 30.0f);
    EXPECT_EQ(rigidBody->layer, layer);
    EXPECT_EQ(rigidBody->constraints, RigidBodyComponent::lockRotation | RigidBodyComponent::lockX);
    EXPECT_TRUE(rigidBody->body->IsFixedRotation());
    EXPECT_NEAR(rigidBody->lockedPosition.x, 1.0f, 1e-5);

    // Positional keys win over named ones.
    auto other = makeObject("Other", {0, 0});
    auto positional =
        std::dynamic_pointer_cast<RigidBodyComponent>(GameObjectManager::instance().createComponent(
            "rigidbody", other, mapObject({{"0", "kinematic"}, {"type", "dynamic"}, {"1", "2"}})));
    ASSERT_TRUE(positional);
    EXPECT_EQ(positional->bodyType, b2_kinematicBody);
    EXPECT_EQ(positional->mass, 2.0f);
    EXPECT_EQ(positional->constraints, 0);
}

TEST_F(RigidBodyScene, LockedAxisAndRotationHoldThroughSteps) {
    auto object = makeObject("Player", {100, 0});
    GameObjectManager::instance().createComponent("rigidbody", object,
                                                  mapObject({{"type", "dynamic"}, {"constrains", "rx"}}));
    addComponent<BoxColliderComponent>(object, sf::Vector2f(0, 0), sf::Vector2f(20, 20));
    auto& rigidBody = *object->rigidBody;
    rigidBody.body->SetLinearVelocity(b2Vec2(3.0f, 0.0f));
    rigidBody.body->ApplyTorque(50.0f, true);
    step(30);
    EXPECT_NEAR(rigidBody.body->GetPosition().x, 1.0f, 1e-4);
    EXPECT_GT(rigidBody.body->GetPosition().y, 0.1f);
    EXPECT_EQ(rigidBody.body->GetAngle(), 0.0f);
    EXPECT_EQ(rigidBody.getVelocity().x, 0.0f);
    EXPECT_GT(rigidBody.getVelocity().y, 0.0f);
}

TEST_F(RigidBodyScene, CreatorValidatesBeforeBuilding) {
    auto object = makeObject("Broken", {0, 0});
    PropertyMap noLayer = {{"", "rigidbody"}, {"type", "dynamic"}};
    EXPECT_THROW(createRigidBodyComponent(object, noLayer), std::out_of_range);
    EXPECT_THROW(createRigidBodyComponent(object, mapObject({{"mass", "heavy"}})), std::invalid_argument);
    EXPECT_THROW(createRigidBodyComponent(object, mapObject({{"mass", "1e99"}})), std::out_of_range);
    EXPECT_FALSE(object->rigidBody);
    EXPECT_EQ(object->components.size(), 1u);
}

TEST_F(RigidBodyScene, UnknownLayerLeavesTheBodyListedOnDefault) {
    auto object = makeObject("Stray", {0, 0});
    createRigidBodyComponent(object, mapObject({{"#layer", "Nowhere"}}));
    ASSERT_TRUE(object->rigidBody);
    auto fallback = PhysicsManager::instance().getCollisionLayer("_default");
    EXPECT_EQ(object->rigidBody->layer, fallback);
    ASSERT_EQ(fallback->bodies.size(), 1u);
    EXPECT_EQ(fallback->bodies[0], object->rigidBody.get());
}

TEST_F(RigidBodyScene, ForcesAndImpulsesLeaveOutTheLockedAxes) {
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);
    // 1 kg each: 100 x 100 pixel boxes.
    auto free = makeBox("Free", {0, 0}, {100, 100}, b2_dynamicBody);
    auto rail = makeBox("Rail", {300, 0}, {100, 100}, b2_dynamicBody);
    auto shelf = makeBox("Shelf", {600, 0}, {100, 100}, b2_dynamicBody);
    rail->rigidBody->constraints = RigidBodyComponent::lockX;
    shelf->rigidBody->constraints = RigidBodyComponent::lockY;
    for (auto& object : {free, rail, shelf}) {
        object->rigidBody->body->SetAwake(false);
        object->rigidBody->applyForce(6.0f, 12.0f);
        EXPECT_TRUE(object->rigidBody->body->IsAwake());
    }
    // The world alone, so the locks' own velocity writes do not hide anything.
    PhysicsManager::instance().stepWorld(fixedStep);
    const b2Vec2 freeVelocity = free->rigidBody->body->GetLinearVelocity();
    EXPECT_NEAR(freeVelocity.x, 0.1f, 1e-5);
    EXPECT_NEAR(freeVelocity.y, 0.2f, 1e-5);
    EXPECT_EQ(rail->rigidBody->body->GetLinearVelocity().x, 0.0f);
    EXPECT_NEAR(rail->rigidBody->body->GetLinearVelocity().y, 0.2f, 1e-5);
    EXPECT_NEAR(shelf->rigidBody->body->GetLinearVelocity().x, 0.1f, 1e-5);
    EXPECT_EQ(shelf->rigidBody->body->GetLinearVelocity().y, 0.0f);

    rail->rigidBody->applyLinearImpulse(2.0f, 3.0f);
    shelf->rigidBody->applyLinearImpulse(2.0f, 3.0f);
    EXPECT_EQ(rail->rigidBody->body->GetLinearVelocity().x, 0.0f);
    EXPECT_NEAR(rail->rigidBody->body->GetLinearVelocity().y, 3.2f, 1e-4);
    EXPECT_NEAR(shelf->rigidBody->body->GetLinearVelocity().x, 2.1f, 1e-4);
    EXPECT_EQ(shelf->rigidBody->body->GetLinearVelocity().y, 0.0f);
    // Nonsense pushes nothing, and a body without a world ignores it all.
    free->rigidBody->applyLinearImpulse(std::nanf(""), 1.0f);
    EXPECT_NEAR(free->rigidBody->body->GetLinearVelocity().y, 0.2f, 1e-5);
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);
    free->rigidBody->applyForce(1.0f, 1.0f);
    free->rigidBody->applyLinearImpulse(1.0f, 1.0f);
    EXPECT_FALSE(free->rigidBody->liveBody());
}
