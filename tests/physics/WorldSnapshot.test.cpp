#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include "PhysicsScene.hpp"
#include "physics/WorldSnapshot.hpp"

using namespace physics_test;

// A busy world: two hanging chains of circles (revolute joints with limits
// and motors; one chain's links also held by prismatic and distance joints,
// as a beard's are), crates falling onto a ground and a ramp, two of them
// welded, and every 30 steps impulses that throw chain links and crates about
// (one crate hard at the ground, fast enough for continuous collision).
namespace {

b2Body* makeBody(b2World& world, b2BodyType type, b2Vec2 position, const b2Shape& shape,
                 float density = 1.0f) {
    b2BodyDef bodyDef;
    bodyDef.type = type;
    bodyDef.position = position;
    b2Body* body = world.CreateBody(&bodyDef);
    b2FixtureDef fixture;
    fixture.shape = &shape;
    fixture.density = density;
    fixture.friction = 0.6f;
    body->CreateFixture(&fixture);
    return body;
}

b2PolygonShape box(float halfWidth, float halfHeight) {
    b2PolygonShape shape;
    shape.SetAsBox(halfWidth, halfHeight);
    return shape;
}

b2Body* makeCrate(b2World& world, b2Vec2 position) {
    return makeBody(world, b2_dynamicBody, position, box(0.15f, 0.15f));
}

// The chain's last link.
b2Body* buildChain(b2World& world, b2Vec2 anchorAt, float direction, bool beardLike) {
    b2CircleShape circle;
    circle.m_radius = 0.08f;
    b2Body* older = makeBody(world, b2_staticBody, anchorAt, circle);
    for (int k = 0; k < 30; ++k) {
        b2Body* link =
            makeBody(world, b2_dynamicBody, anchorAt + b2Vec2(direction * 0.16f * (k + 1), 0.0f), circle);
        b2RevoluteJointDef hinge;
        hinge.Initialize(older, link, older->GetPosition());
        hinge.enableLimit = true;
        hinge.lowerAngle = -0.8f;
        hinge.upperAngle = 0.8f;
        hinge.enableMotor = k % 5 == 0;
        hinge.motorSpeed = 1.0f;
        hinge.maxMotorTorque = 0.05f;
        world.CreateJoint(&hinge);
        if (beardLike && k > 0) {
            b2PrismaticJointDef slider;
            slider.Initialize(older, link, link->GetPosition(), b2Vec2(direction, 0.0f));
            slider.enableLimit = true;
            slider.lowerTranslation = -0.05f;
            slider.upperTranslation = 0.05f;
            world.CreateJoint(&slider);
            b2DistanceJointDef reach;
            reach.Initialize(older, link, older->GetPosition(), link->GetPosition());
            reach.minLength = 0.1f;
            reach.maxLength = 0.2f;
            world.CreateJoint(&reach);
        }
        older = link;
    }
    return older;
}

// Returns the first chain's last link, held by one hinge.
b2Body* buildScene(b2World& world) {
    makeBody(world, b2_staticBody, {0.0f, 6.0f}, box(10.0f, 0.5f));
    b2PolygonShape ramp;
    const b2Vec2 rampPoints[] = {{-4.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, -1.0f}};
    ramp.Set(rampPoints, 3);
    makeBody(world, b2_staticBody, {-1.0f, 5.5f}, ramp);
    b2Body* tip = buildChain(world, {-2.5f, 1.0f}, 1.0f, false);
    buildChain(world, {2.5f, 1.5f}, -1.0f, true);
    std::vector<b2Body*> crates;
    for (int i = 0; i < 30; ++i) {
        crates.push_back(makeCrate(world, {-2.0f + 0.35f * (i % 10), 2.5f + 0.4f * (i / 10)}));
    }
    b2WeldJointDef weld;
    weld.Initialize(crates[0], crates[1], crates[0]->GetPosition());
    world.CreateJoint(&weld);
    return tip;
}

// Every 30th step, impulses on every 7th body, different each time; the first
// body kicked is thrown at the ground.
void kick(b2World& world, int step) {
    if (step % 30 != 0) {
        return;
    }
    int index = 0;
    bool first = true;
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext(), ++index) {
        if (body->GetType() != b2_dynamicBody || (index + step / 30) % 7 != 0) {
            continue;
        }
        const float side = ((index + step / 30) % 2 == 0) ? 1.0f : -1.0f;
        const b2Vec2 impulse = first ? b2Vec2(0.0f, 4.0f) : b2Vec2(0.3f * side, -0.4f);
        body->ApplyLinearImpulseToCenter((body->GetMass() * 10.0f) * impulse, true);
        first = false;
    }
}

// Where a crate rests on the ground.
b2Vec2 restingAt(float x) {
    return {x, 5.5f - 0.15f};
}

void step(b2World& world, int number, float duration = fixedStep) {
    kick(world, number);
    world.Step(duration, 8, 3);
    world.ClearForces();
}

// Every body's place, angle and velocities as bits, in the world's list order.
std::vector<uint32_t> bodyBits(b2World& world) {
    std::vector<uint32_t> bits;
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        const float values[] = {
            body->GetPosition().x,       body->GetPosition().y,       body->GetAngle(),
            body->GetLinearVelocity().x, body->GetLinearVelocity().y, body->GetAngularVelocity()};
        for (float value : values) {
            uint32_t word;
            std::memcpy(&word, &value, sizeof(word));
            bits.push_back(word);
        }
    }
    return bits;
}

int sleepingBodies(b2World& world) {
    int asleep = 0;
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        asleep += body->GetType() == b2_dynamicBody && !body->IsAwake();
    }
    return asleep;
}

int touchingContacts(b2World& world) {
    int touching = 0;
    for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
        touching += contact->IsTouching();
    }
    return touching;
}

struct WorldSnapshotTest : SceneTest {
    WorldSnapshotTest() { PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f); }
    b2World& world() { return *PhysicsManager::instance().world; }
    // The game's own step, as the frame loop runs it.
    void gameStep(int number) {
        kick(world(), number);
        PhysicsManager::instance().stepWorld(fixedStep);
        PhysicsManager::instance().clearForces();
    }
    // The scene stepped to `saveAt`, with two crates made late: one set on
    // the ground 10 steps before, resting there on its way to sleep, and one
    // made after the last step, on the ground too, whose contact with it only
    // the broad phase's next pair search will make.
    void playUntilSaving(int saveAt) {
        tip = buildScene(world());
        for (int n = 1; n <= saveAt; ++n) {
            if (n == saveAt - 10) {
                makeCrate(world(), restingAt(8.0f));
            }
            gameStep(n);
        }
        makeCrate(world(), restingAt(6.0f));
    }
    b2Body* tip = nullptr;
};

// Cuts the link off (its hinge goes with it), lets the world step on, then
// makes link and hinge again as they were built; returns the new pair.
std::pair<b2Body*, b2Joint*> cutAndMakeAgain(b2World& world, b2Body* link,
                                             const std::function<void()>& meanwhile) {
    auto* hinge = static_cast<b2RevoluteJoint*>(link->GetJointList()->joint);
    b2RevoluteJointDef again;
    again.bodyA = hinge->GetBodyA();
    again.localAnchorA = hinge->GetLocalAnchorA();
    again.localAnchorB = hinge->GetLocalAnchorB();
    again.referenceAngle = hinge->GetReferenceAngle();
    again.enableLimit = hinge->IsLimitEnabled();
    again.lowerAngle = hinge->GetLowerLimit();
    again.upperAngle = hinge->GetUpperLimit();
    again.enableMotor = hinge->IsMotorEnabled();
    again.motorSpeed = hinge->GetMotorSpeed();
    again.maxMotorTorque = hinge->GetMaxMotorTorque();
    const b2Shape& shape = *link->GetFixtureList()->GetShape();
    world.DestroyBody(link);
    meanwhile();
    b2CircleShape circle;
    circle.m_radius = shape.m_radius;
    again.bodyB = makeBody(world, b2_dynamicBody, {0.0f, 0.0f}, circle);
    return {again.bodyB, world.CreateJoint(&again)};
}

} // namespace

TEST_F(WorldSnapshotTest, RestoredInPlaceTheWorldReplaysEveryStepBitForBit) {
    constexpr int saveAt = 320;
    constexpr int runTo = 620;
    playUntilSaving(saveAt);
    const int touchingAtSave = touchingContacts(world());
    const int asleepAtSave = sleepingBodies(world());
    const WorldSnapshot snapshot = saveWorld(world());
    EXPECT_GT(touchingAtSave, 40);
    EXPECT_GT(asleepAtSave, 0);
    EXPECT_EQ(snapshot.contacts.size(), static_cast<size_t>(world().GetContactCount()));
    EXPECT_EQ(snapshot.moveBuffer.size(), 1u);
    EXPECT_GT(snapshot.previousInverseStep, 59.0f);
    EXPECT_GT(snapshot.bodies[1].sleepTime, 0.1f);

    std::vector<std::vector<uint32_t>> firstPass;
    for (int n = saveAt + 1; n <= runTo; ++n) {
        gameStep(n);
        firstPass.push_back(bodyBits(world()));
    }
    // Things went on moving meanwhile, and sleeping bodies woke.
    EXPECT_NE(firstPass.front(), firstPass.back());
    EXPECT_NE(sleepingBodies(world()), asleepAtSave);

    ASSERT_TRUE(restoreWorld(world(), snapshot));
    EXPECT_EQ(touchingContacts(world()), touchingAtSave);
    for (int n = saveAt + 1; n <= runTo; ++n) {
        gameStep(n);
        ASSERT_EQ(bodyBits(world()), firstPass[static_cast<size_t>(n - saveAt - 1)]) << "after step " << n;
    }

    // The snapshot serves again after a link was cut off and made again: the
    // new body and hinge, named in the old ones' places, take them, though
    // they were made last and hold other broad-phase proxies.
    const b2Body* oldTip = tip;
    const b2Joint* oldHinge = tip->GetJointList()->joint;
    const auto [newTip, newHinge] = cutAndMakeAgain(world(), tip, [&] {
        for (int n = runTo + 1; n <= runTo + 30; ++n) {
            gameStep(n);
        }
    });
    WorldObjects live = savedObjects(snapshot);
    std::replace(live.bodies.begin(), live.bodies.end(), const_cast<b2Body*>(oldTip), newTip);
    std::replace(live.joints.begin(), live.joints.end(), const_cast<b2Joint*>(oldHinge), newHinge);
    ASSERT_TRUE(restoreWorld(world(), snapshot, live));
    for (int n = saveAt + 1; n <= runTo; ++n) {
        gameStep(n);
        ASSERT_EQ(bodyBits(world()), firstPass[static_cast<size_t>(n - saveAt - 1)]) << "after step " << n;
    }
}

TEST_F(WorldSnapshotTest, AnotherWorldRestoredFromASnapshotStaysIdenticalForSixHundredSteps) {
    constexpr int saveAt = 200;
    playUntilSaving(saveAt);
    const WorldSnapshot snapshot = saveWorld(world());

    // The same bodies and joints with another history: a body of many
    // fixtures made and destroyed first (the broad phase hands out other
    // proxy ids from a larger tree), other kicks, fewer and longer steps, and
    // the late crates made elsewhere.
    b2World other(b2Vec2(0.0f, 10.0f));
    other.SetAutoClearForces(false);
    b2CircleShape bit;
    bit.m_radius = 0.05f;
    b2Body* passing = makeBody(other, b2_dynamicBody, {0.0f, 0.0f}, bit);
    for (int i = 0; i < 400; ++i) {
        passing->CreateFixture(&bit, 1.0f);
    }
    buildScene(other);
    other.DestroyBody(passing);
    for (int n = 1; n <= 40; ++n) {
        step(other, n * 7 + 3, 2.0f * fixedStep);
    }
    makeCrate(other, {0.0f, 1.0f});
    makeCrate(other, {0.5f, 1.0f});
    ASSERT_NE(bodyBits(other), bodyBits(world()));

    // Index for index: both worlds made their objects in the same order.
    WorldObjects live;
    for (b2Body* body = other.GetBodyList(); body; body = body->GetNext()) {
        live.bodies.push_back(body);
    }
    for (b2Joint* joint = other.GetJointList(); joint; joint = joint->GetNext()) {
        live.joints.push_back(joint);
    }
    // Two jointed links named the other way round are refused, and the world
    // is left alone.
    const size_t link = static_cast<size_t>(std::find_if(live.bodies.begin(), live.bodies.end(),
                                                         [](b2Body* body) { return body->GetJointList(); }) -
                                            live.bodies.begin());
    std::swap(live.bodies[link], live.bodies[link + 1]);
    const auto before = bodyBits(other);
    EXPECT_FALSE(restoreWorld(other, snapshot, live));
    EXPECT_EQ(bodyBits(other), before);
    std::swap(live.bodies[link], live.bodies[link + 1]);

    ASSERT_TRUE(restoreWorld(other, snapshot, live));
    ASSERT_EQ(bodyBits(other), bodyBits(world()));
    for (int n = saveAt + 1; n <= saveAt + 600; ++n) {
        gameStep(n);
        step(other, n);
        ASSERT_EQ(bodyBits(other), bodyBits(world())) << "after step " << n;
    }
    EXPECT_EQ(touchingContacts(other), touchingContacts(world()));
}
