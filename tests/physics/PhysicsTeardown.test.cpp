#include <gtest/gtest.h>

#include "PhysicsScene.hpp"
#include "physics/DistanceJointComponent.hpp"
#include "physics/PrismaticJointComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/WeldJointComponent.hpp"

using namespace physics_test;

// Every order in which objects, components, bodies and the world can go.
// Under the sanitizers these catch any touch of freed Box2D or scene memory.
namespace {
struct TeardownScene : SceneTest {
    void SetUp() override {
        PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
        ground = makeBox("Platform", {0, 100}, {200, 20}, b2_staticBody);
    }
    static void release(std::shared_ptr<GameObject>& object) {
        auto& objects = GameObjectManager::instance();
        objects.destroyGameObject(object);
        objects.update(0.0f, 0.0f);
        object.reset();
    }
    b2World& world() { return *PhysicsManager::instance().world; }
    std::shared_ptr<GameObject> ground;
};

// Removes its object's rigid body as soon as it touches something: inside the world step.
struct SelfDestruct : Component {
    void onCollisionEnter(std::shared_ptr<GameObject>) override {
        auto owner = getGameObject();
        owner->removeComponent(owner->rigidBody);
    }
};

// Lets go of the last reference to `box` when touching it: inside the world step.
struct DropOnTouch : Component {
    std::shared_ptr<GameObject>* box = nullptr;
    void onCollisionEnter(std::shared_ptr<GameObject> other) override {
        if (box && *box == other) {
            auto& objects = GameObjectManager::instance();
            objects.persistentObjects.erase(
                std::remove(objects.persistentObjects.begin(), objects.persistentObjects.end(), *box),
                objects.persistentObjects.end());
            box->reset();
            box = nullptr;
        }
    }
};
} // namespace

TEST_F(TeardownScene, ObjectFreedWhileTouchingAnother) {
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    auto onGround = addComponent<ContactRecorder>(ground);
    step(3);
    ASSERT_EQ(onGround->count("enter:Box"), 1u);
    release(box);
    EXPECT_EQ(world().GetBodyCount(), 1);
    step(3);
    // Freed objects leave the contact list silently.
    EXPECT_TRUE(ground->collisions.empty());
    EXPECT_EQ(onGround->count("exit:Box"), 0u);
}

TEST_F(TeardownScene, RemovedRigidBodyTakesItsJointsAndFixturesFirst) {
    auto a = makeBox("A", {0, 0}, {20, 20}, b2_dynamicBody);
    auto b = makeBox("B", {40, 0}, {20, 20}, b2_dynamicBody);
    auto own = addComponent<DistanceJointComponent>(a, b, sf::Vector2f(0, 0), sf::Vector2f(40, 0));
    auto incoming = addComponent<RevoluteJointComponent>(b, a, sf::Vector2f(0, 0), sf::Vector2f(40, 0));
    auto collider = a->getComponent<ColliderComponent>();
    a->removeComponent(a->rigidBody);
    EXPECT_FALSE(a->rigidBody);
    EXPECT_FALSE(own->joint);
    EXPECT_FALSE(incoming->joint);
    EXPECT_FALSE(collider->fixture);
    EXPECT_EQ(world().GetJointCount(), 0);
    EXPECT_EQ(world().GetBodyCount(), 2);
    step(2);
    release(a);
    release(b);
}

TEST_F(TeardownScene, RemovedComponentsStillHeldLetGoOfBox2D) {
    auto a = makeBox("A", {0, 0}, {20, 20}, b2_dynamicBody);
    auto b = makeBox("B", {40, 0}, {20, 20}, b2_dynamicBody);
    auto rigidBody = a->rigidBody;
    auto collider = a->getComponent<ColliderComponent>();
    auto weld = addComponent<WeldJointComponent>(a, b, sf::Vector2f(20, 0));
    ASSERT_EQ(world().GetJointCount(), 1);
    // Whoever still holds a removed joint or collider, its Box2D object goes at once.
    a->removeComponent(collider);
    a->removeComponent(weld);
    EXPECT_EQ(rigidBody->body->GetFixtureList(), nullptr);
    EXPECT_FALSE(collider->fixture);
    EXPECT_FALSE(collider->ownerCell);
    EXPECT_EQ(world().GetJointCount(), 0);
    EXPECT_FALSE(weld->joint);
    EXPECT_FALSE(weld->isEnabled());
    // Detached, they make nothing again.
    collider->init();
    weld->createJoint();
    EXPECT_EQ(rigidBody->body->GetFixtureList(), nullptr);
    EXPECT_EQ(world().GetJointCount(), 0);
    collider.reset();
    weld.reset();
    a->removeComponent(rigidBody);
    EXPECT_FALSE(rigidBody->body);
    EXPECT_FALSE(rigidBody->layer);
    rigidBody->fixedUpdate(fixedStep, 0.0f);
    rigidBody->setVelocity(1.0f, 1.0f);
    rigidBody.reset();
    EXPECT_EQ(world().GetBodyCount(), 2);
}

TEST_F(TeardownScene, WorldReplacedUnderLivingComponents) {
    auto a = makeBox("A", {0, 0}, {20, 20}, b2_dynamicBody);
    auto b = makeBox("B", {40, 0}, {20, 20}, b2_dynamicBody);
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(20, 0), sf::Vector2f(-20, 0));
    addComponent<ContactRecorder>(a);
    step(5);
    PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);

    // Every component notices that its Box2D object went with the old world.
    step(5);
    EXPECT_FALSE(a->rigidBody->liveBody());
    EXPECT_FALSE(a->getComponent<ColliderComponent>()->liveFixture());
    EXPECT_FALSE(hinge->isEnabled());
    EXPECT_FALSE(hinge->joint);
    a->rigidBody->setVelocity(1.0f, 0.0f);
    EXPECT_EQ(a->rigidBody->getVelocity().x, 0.0f);
    hinge->createJoint();
    EXPECT_EQ(world().GetJointCount(), 0);
    PhysicsManager::instance().getCollisionLayer("_default")->refreshFilters();
    a->removeComponent(a->getComponent<ColliderComponent>());
    b->removeComponent(b->rigidBody);

    // New objects live in the new world as usual.
    auto c = makeBox("C", {0, 0}, {20, 20}, b2_dynamicBody);
    EXPECT_EQ(world().GetBodyCount(), 1);
    step(2);
    release(a);
    release(b);
    release(c);
    release(ground);
    EXPECT_EQ(world().GetBodyCount(), 0);
}

TEST_F(TeardownScene, BodyRemovedInsideTheStepIsDestroyedAtTheNextFlush) {
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    addComponent<SelfDestruct>(box);
    step(3);
    EXPECT_FALSE(box->rigidBody);
    // Box2D refused to destroy it inside the step; it waits in the queue.
    EXPECT_EQ(PhysicsManager::instance().pendingBodies.size(), 1u);
    EXPECT_EQ(world().GetBodyCount(), 2);
    PhysicsManager::instance().flushPendingDestructions();
    EXPECT_EQ(world().GetBodyCount(), 1);
    EXPECT_FALSE(box->getComponent<ColliderComponent>()->fixture);
    step(2);
    release(box);
}

TEST_F(TeardownScene, ObjectFreedInsideTheStepQueuesItsFixtureAndBody) {
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    // The last reference to the box goes from inside the contact callback.
    GameObjectManager::instance().flushPendingAdditions();
    addComponent<DropOnTouch>(ground)->box = &box;
    step(3);
    EXPECT_FALSE(box);
    PhysicsManager::instance().flushPendingDestructions();
    EXPECT_EQ(world().GetBodyCount(), 1);
    EXPECT_TRUE(PhysicsManager::instance().pendingFixtures.empty());
    step(2);
}

TEST_F(TeardownScene, ChainsOfJoinedObjectsClearInAnyOrder) {
    for (bool reversed : {false, true}) {
        std::vector<std::shared_ptr<GameObject>> links;
        for (int i = 0; i < 6; ++i) {
            auto link = makeObject("Link", {i * 20.0f, 0});
            addComponent<RigidBodyComponent>(link, b2_dynamicBody, 1.0f);
            addComponent<CircleColliderComponent>(link, 8.0f);
            if (!links.empty()) {
                addComponent<RevoluteJointComponent>(link, links.back(), sf::Vector2f(-10, 0),
                                                     sf::Vector2f(10, 0));
                addComponent<DistanceJointComponent>(link, links.back(), link->transform->getPosition(),
                                                     links.back()->transform->getPosition());
                addComponent<PrismaticJointComponent>(links.back(), link, sf::Vector2f(0, 0),
                                                      sf::Vector2f(0, 0), sf::Vector2f(1, 0));
            }
            links.push_back(link);
        }
        step(10);
        if (reversed) {
            std::reverse(links.begin(), links.end());
        }
        // The manager lets go first; the links then go in the vector's order.
        GameObjectManager::instance().clear(true);
        ground.reset();
        links.clear();
        EXPECT_EQ(world().GetBodyCount(), 0);
        EXPECT_EQ(world().GetJointCount(), 0);
        ground = makeBox("Platform", {0, 100}, {200, 20}, b2_staticBody);
    }
}

TEST_F(TeardownScene, DestructionAskedForWhileABodyIsTakenApartWaitsForTheFlush) {
    // A and C touch each other and the platform; when A's contacts end, game
    // code pulls C's body too, while Box2D is still walking A's contacts.
    auto a = makeBox("A", {-10, 80}, {20, 20}, b2_dynamicBody);
    auto c = makeBox("C", {10, 80}, {20, 20}, b2_dynamicBody);
    struct PullOther : Component {
        std::shared_ptr<GameObject> other;
        void onCollisionExit(std::shared_ptr<GameObject>) override {
            if (other && other->rigidBody) {
                other->removeComponent(other->rigidBody);
            }
        }
    };
    addComponent<PullOther>(ground)->other = c;
    step(3);
    ASSERT_EQ(a->collisions.size(), 2u);
    a->removeComponent(a->rigidBody);
    EXPECT_FALSE(c->rigidBody);
    EXPECT_EQ(PhysicsManager::instance().pendingBodies.size(), 1u);
    PhysicsManager::instance().flushPendingDestructions();
    EXPECT_EQ(world().GetBodyCount(), 1);
    step(2);
    release(a);
    release(c);
}

TEST_F(TeardownScene, JointsOfObjectsTornDownInsideTheStepWaitForTheFlush) {
    // Both boxes land on the platform in the same step. One loses its rigid
    // body there, the other is freed there; each holds a joint to an anchor.
    auto anchor = makeBox("Anchor", {0, -200}, {20, 20}, b2_staticBody);
    auto losing = makeBox("Losing", {-40, 80}, {20, 20}, b2_dynamicBody);
    auto freed = makeBox("Freed", {40, 80}, {20, 20}, b2_dynamicBody);
    auto rope =
        addComponent<DistanceJointComponent>(losing, anchor, sf::Vector2f(-40, 80), sf::Vector2f(0, -200));
    rope->setMinLength(0.0f);
    rope->setMaxLength(10.0f);
    auto hinge =
        addComponent<RevoluteJointComponent>(freed, anchor, sf::Vector2f(0, 0), sf::Vector2f(40, 280));
    addComponent<SelfDestruct>(losing);
    GameObjectManager::instance().flushPendingAdditions();
    addComponent<DropOnTouch>(ground)->box = &freed;
    ASSERT_EQ(world().GetJointCount(), 2);

    step(3);
    auto& physics = PhysicsManager::instance();
    EXPECT_FALSE(losing->rigidBody);
    EXPECT_FALSE(freed);
    EXPECT_FALSE(rope->joint);
    EXPECT_FALSE(rope->isEnabled());
    // Box2D cannot destroy them inside the step: they wait, owned by no one.
    EXPECT_EQ(physics.pendingJoints.size(), 2u);
    EXPECT_EQ(world().GetJointCount(), 2);
    physics.flushPendingDestructions();
    EXPECT_TRUE(physics.pendingJoints.empty());
    EXPECT_EQ(world().GetJointCount(), 0);
    EXPECT_EQ(world().GetBodyCount(), 2);
    step(2);
    release(losing);
    release(anchor);
}

TEST_F(TeardownScene, JointAndColliderRemovedInsideTheStepLetGoAtTheFlush) {
    // The player's way with its grab weld: kept in a field, removed on a touch.
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    auto anchor = makeBox("Anchor", {0, -200}, {20, 20}, b2_staticBody);
    struct LetGo : Component {
        std::shared_ptr<JointComponent> weld;
        std::shared_ptr<ColliderComponent> collider;
        void onCollisionEnter(std::shared_ptr<GameObject>) override {
            auto owner = getGameObject();
            owner->removeComponent(weld);
            owner->removeComponent(collider);
        }
    };
    auto letGo = addComponent<LetGo>(box);
    auto rope = addComponent<DistanceJointComponent>(box, anchor, sf::Vector2f(0, 80), sf::Vector2f(0, -200));
    rope->setMaxLength(10.0f);
    letGo->weld = rope;
    letGo->collider = box->getComponent<ColliderComponent>();
    step(3);
    auto& physics = PhysicsManager::instance();
    EXPECT_FALSE(rope->joint);
    EXPECT_FALSE(letGo->collider->fixture);
    EXPECT_EQ(physics.pendingJoints.size(), 1u);
    EXPECT_EQ(physics.pendingFixtures.size(), 1u);
    physics.flushPendingDestructions();
    EXPECT_EQ(world().GetJointCount(), 0);
    EXPECT_EQ(box->rigidBody->body->GetFixtureList(), nullptr);
    step(2);
}

TEST_F(TeardownScene, NothingIsMadeOrRemadeInsideTheStep) {
    auto a = makeBox("A", {0, 80}, {20, 20}, b2_dynamicBody);
    auto b = makeBox("B", {40, 0}, {20, 20}, b2_dynamicBody);
    auto hinge = addComponent<RevoluteJointComponent>(a, b, sf::Vector2f(20, 0), sf::Vector2f(-20, 0));
    struct BuildOnTouch : Component {
        std::shared_ptr<RevoluteJointComponent> hinge;
        std::shared_ptr<GameObject> late;
        std::shared_ptr<Component> lateBody;
        std::shared_ptr<Component> lateCollider;
        void onCollisionEnter(std::shared_ptr<GameObject>) override {
            if (late) {
                return;
            }
            hinge->createJoint();
            late = GameObjectManager::instance().createGameObject("Late");
            lateBody = addComponent<RigidBodyComponent>(late, b2_dynamicBody, 1.0f);
            lateCollider =
                addComponent<BoxColliderComponent>(getGameObject(), sf::Vector2f(0, 0), sf::Vector2f(5, 5));
        }
    };
    auto builder = addComponent<BuildOnTouch>(a);
    builder->hinge = hinge;
    b2Joint* before = hinge->joint;
    testing::internal::CaptureStderr();
    step(3);
    const std::string printed = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(builder->late);
    // The joint it had stays; the body and the fixture are refused with a line each.
    EXPECT_EQ(hinge->joint, before);
    EXPECT_EQ(world().GetJointCount(), 1);
    EXPECT_FALSE(builder->late->rigidBody->body);
    EXPECT_FALSE(builder->late->rigidBody->enabled);
    EXPECT_FALSE(std::static_pointer_cast<ColliderComponent>(builder->lateCollider)->fixture);
    EXPECT_EQ(world().GetBodyCount(), 3);
    EXPECT_NE(printed.find("Rigid body of object 'Late' added inside a physics step"), std::string::npos);
    EXPECT_NE(printed.find("Collider of object 'A' added inside a physics step"), std::string::npos);
    step(2);
}

TEST_F(TeardownScene, FixtureQueuedWhileItsBodyIsTakenApartLeavesTheQueue) {
    // When the box's body goes, its contact with the platform ends inside
    // Box2D's DestroyBody, and the platform's handler drops the box's collider
    // then: its fixture is queued, and Box2D frees it a moment later.
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    struct DropCollider : Component {
        std::shared_ptr<GameObject> box;
        void onCollisionExit(std::shared_ptr<GameObject> other) override {
            if (other == box) {
                box->removeComponent(box->getComponent<ColliderComponent>());
            }
        }
    };
    addComponent<DropCollider>(ground)->box = box;
    step(3);
    ASSERT_EQ(box->collisions.size(), 1u);
    box->removeComponent(box->rigidBody);
    EXPECT_FALSE(box->getComponent<ColliderComponent>());
    auto& physics = PhysicsManager::instance();
    EXPECT_TRUE(physics.pendingFixtures.empty());
    physics.flushPendingDestructions();
    EXPECT_EQ(world().GetBodyCount(), 1);
    step(2);
    release(box);
}
