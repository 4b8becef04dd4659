// The cost of one fixed step of two hanging, swinging beard chains: through the
// engine (components syncing transforms, contact dispatch to game objects)
// and the same scene with bare Box2D calls. Prints both and their ratio.
//
// Each chain has 80 links built the way a beard builds them: a dynamic link
// body with a circle, a small slider body with a circle, a prismatic joint
// from the link to its slider, a revolute joint from the slider to the older
// link and a distance joint limiting the link's reach. The newest link hangs
// from a static chin. Both chains start horizontal and swing through each
// other under gravity.

#include <benchmark/benchmark.h>

#include "EngineAgainstBare.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <box2d/box2d.h>

#include "physics/CircleColliderComponent.hpp"
#include "physics/DistanceJointComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/PrismaticJointComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

constexpr int linksPerChain = 80;
constexpr int stepsPerRun = 300;
constexpr float fixedStep = 1.0f / 60.0f;
constexpr float pixelsPerMeter = 100.0f;
// A beard segment's size in pixels, its hinge limit, and its colliders' radii.
constexpr float segmentSize = 20.0f;
constexpr float angleLimit = 0.7853982f;
constexpr float linkRadius = segmentSize * 0.5f;
constexpr float sliderRadius = segmentSize * 0.25f;
// A link's slider travel and the rope holding it to the older link, both in
// segment sizes: the same length, as the game's beard builds them.
constexpr float maxLinkLengthInSizes = 2.0f;

struct ChainLayout {
    sf::Vector2f chin;
    // +1: links reach out to the right of the chin, -1: to the left.
    float direction;
    const char* layer;
};

const ChainLayout chains[] = {{{-100.0f, 0.0f}, 1.0f, "beard1"}, {{100.0f, 60.0f}, -1.0f, "beard2"}};

// Position of link k (0 = the oldest, at the tip) of a chain, pixels.
sf::Vector2f linkPosition(const ChainLayout& chain, int k) {
    return {chain.chin.x + chain.direction * (linksPerChain - k) * segmentSize, chain.chin.y};
}

// ---- Through the engine ----------------------------------------------------

struct EngineLink {
    std::shared_ptr<GameObject> link;
    std::shared_ptr<GameObject> slider;
    std::shared_ptr<PrismaticJointComponent> sliderJoint;
};

EngineLink engineSegment(const ChainLayout& chain, int k, const std::string& name) {
    auto& objects = GameObjectManager::instance();
    auto layer = PhysicsManager::instance().getCollisionLayer(chain.layer);
    EngineLink segment;
    segment.link = objects.createGameObject(name);
    segment.link->transform->setPosition(linkPosition(chain, k));
    addComponent<RigidBodyComponent>(segment.link, b2_dynamicBody, 1.0f)->setCollisionLayer(layer);
    addComponent<CircleColliderComponent>(segment.link, linkRadius);
    segment.slider = objects.createGameObject(name + "2");
    segment.slider->transform->setPosition(segment.link->transform->getPosition());
    addComponent<RigidBodyComponent>(segment.slider, b2_dynamicBody, 0.1f)->setCollisionLayer(layer);
    addComponent<CircleColliderComponent>(segment.slider, sliderRadius);
    segment.sliderJoint = addComponent<PrismaticJointComponent>(
        segment.link, segment.slider, sf::Vector2f(0, 0), sf::Vector2f(0, 0), sf::Vector2f(0, 1));
    segment.sliderJoint->setLimits(0.0f, 0.0f);
    segment.sliderJoint->enableLimit(true);
    return segment;
}

void engineJoin(const EngineLink& newer, const EngineLink& older) {
    auto hinge = addComponent<RevoluteJointComponent>(newer.slider, older.link, sf::Vector2f(0, 0),
                                                      sf::Vector2f(0, 0));
    hinge->setLimits(-angleLimit, angleLimit);
    hinge->enableLimit(true);
    auto& slider = *newer.sliderJoint;
    slider.setLimits(0.0f, maxLinkLengthInSizes * segmentSize / pixelsPerMeter);
    slider.enableLimit(true);
    slider.setMotorSpeed(1.0f);
    slider.setMaxMotorForce(20.0f);
    slider.enableMotor(true);
    const sf::Vector2f at = newer.link->transform->getPosition();
    auto reach = addComponent<DistanceJointComponent>(newer.link, older.link, at, at);
    reach->setMinLength(0.0f);
    reach->setMaxLength(maxLinkLengthInSizes * segmentSize / pixelsPerMeter);
}

void buildEngineScene() {
    auto& physics = PhysicsManager::instance();
    physics.createWorld(0.0f, 10.0f, pixelsPerMeter);
    for (const auto& chain : chains) {
        physics.getOrCreateCollisionLayer(chain.layer);
        auto chin = GameObjectManager::instance().createGameObject("Chin");
        chin->transform->setPosition(chain.chin);
        addComponent<RigidBodyComponent>(chin, b2_staticBody, 1.0f);
        EngineLink older;
        for (int k = 0; k < linksPerChain; ++k) {
            EngineLink newer = engineSegment(chain, k, "Segment" + std::to_string(k));
            if (older.link) {
                engineJoin(newer, older);
            }
            older = newer;
        }
        addComponent<RevoluteJointComponent>(chin, older.link, sf::Vector2f(0, 0),
                                             chain.chin - linkPosition(chain, linksPerChain - 1));
    }
    GameObjectManager::instance().flushPendingAdditions();
}

void engineStep(float& time) {
    // What the frame loop does for one fixed step of a one-step frame.
    auto& objects = GameObjectManager::instance();
    time += fixedStep;
    for (size_t i = 0; i < objects.persistentObjects.size(); ++i) {
        auto object = objects.persistentObjects[i];
        object->fixedUpdate(fixedStep, time);
    }
    auto& physics = PhysicsManager::instance();
    physics.stepWorld(fixedStep);
    physics.clearForces();
}

// ---- Bare Box2D ------------------------------------------------------------

struct BareLink {
    b2Body* link = nullptr;
    b2Body* slider = nullptr;
    b2PrismaticJoint* sliderJoint = nullptr;
};

b2Body* bareBody(b2World& world, sf::Vector2f position, float radius, float mass, const b2Filter& filter) {
    b2BodyDef bodyDef;
    bodyDef.type = b2_dynamicBody;
    bodyDef.position.Set(position.x / pixelsPerMeter, position.y / pixelsPerMeter);
    b2Body* body = world.CreateBody(&bodyDef);
    b2CircleShape circle;
    circle.m_radius = radius / pixelsPerMeter;
    b2FixtureDef fixtureDef;
    fixtureDef.shape = &circle;
    fixtureDef.density = mass / (b2_pi * circle.m_radius * circle.m_radius);
    fixtureDef.friction = 0.0f;
    fixtureDef.restitutionThreshold = 1.0f;
    fixtureDef.filter = filter;
    body->CreateFixture(&fixtureDef);
    return body;
}

BareLink bareSegment(b2World& world, const ChainLayout& chain, int k, const b2Filter& filter) {
    BareLink segment;
    const sf::Vector2f position = linkPosition(chain, k);
    segment.link = bareBody(world, position, linkRadius, 1.0f, filter);
    segment.slider = bareBody(world, position, sliderRadius, 0.1f, filter);
    b2PrismaticJointDef prismatic;
    prismatic.Initialize(segment.link, segment.slider, b2Vec2(0, 0), b2Vec2(0, 0.01f));
    prismatic.localAnchorA.SetZero();
    prismatic.localAnchorB.SetZero();
    prismatic.localAxisA.Set(0, 1);
    prismatic.lowerTranslation = prismatic.upperTranslation = 0.0f;
    prismatic.enableLimit = true;
    segment.sliderJoint = static_cast<b2PrismaticJoint*>(world.CreateJoint(&prismatic));
    return segment;
}

void bareJoin(b2World& world, const BareLink& newer, const BareLink& older) {
    b2RevoluteJointDef revolute;
    revolute.Initialize(newer.slider, older.link, b2Vec2(0, 0));
    revolute.localAnchorA.SetZero();
    revolute.localAnchorB.SetZero();
    revolute.referenceAngle = 0.0f;
    revolute.lowerAngle = -angleLimit;
    revolute.upperAngle = angleLimit;
    revolute.enableLimit = true;
    world.CreateJoint(&revolute);
    newer.sliderJoint->SetLimits(0.0f, maxLinkLengthInSizes * segmentSize / pixelsPerMeter);
    newer.sliderJoint->SetMotorSpeed(1.0f);
    newer.sliderJoint->SetMaxMotorForce(20.0f);
    newer.sliderJoint->EnableMotor(true);
    b2DistanceJointDef distance;
    const b2Vec2 at = newer.link->GetPosition();
    distance.Initialize(newer.link, older.link, at, at);
    distance.minLength = 0.0f;
    distance.maxLength = maxLinkLengthInSizes * segmentSize / pixelsPerMeter;
    world.CreateJoint(&distance);
}

std::unique_ptr<b2World> buildBareScene() {
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 10.0f));
    world->SetAutoClearForces(false);
    uint16_t category = 0x0002;
    for (const auto& chain : chains) {
        b2Filter filter;
        filter.categoryBits = category;
        category = static_cast<uint16_t>(category << 1);
        b2BodyDef chinDef;
        chinDef.position.Set(chain.chin.x / pixelsPerMeter, chain.chin.y / pixelsPerMeter);
        b2Body* chin = world->CreateBody(&chinDef);
        BareLink older;
        for (int k = 0; k < linksPerChain; ++k) {
            BareLink newer = bareSegment(*world, chain, k, filter);
            if (older.link) {
                bareJoin(*world, newer, older);
            }
            older = newer;
        }
        b2RevoluteJointDef hang;
        hang.Initialize(chin, older.link, chin->GetPosition());
        hang.localAnchorB = chin->GetPosition() - older.link->GetPosition();
        world->CreateJoint(&hang);
    }
    return world;
}

// ---- Benchmarks --------------------------------------------------------------

void engineFixedStep(benchmark::State& state) {
    float time = 0.0f;
    for (auto _ : state) {
        state.PauseTiming();
        buildEngineScene();
        state.ResumeTiming();
        for (int i = 0; i < stepsPerRun; ++i) {
            engineStep(time);
        }
        state.PauseTiming();
        GameObjectManager::instance().clear(true);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * stepsPerRun);
}
BENCHMARK(engineFixedStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void bareBox2DStep(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto world = buildBareScene();
        state.ResumeTiming();
        for (int i = 0; i < stepsPerRun; ++i) {
            world->Step(fixedStep, 8, 3);
            world->ClearForces();
        }
        state.PauseTiming();
        world.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * stepsPerRun);
}
BENCHMARK(bareBox2DStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Touching contacts and the lowest body's depth (metres) after a run: both
// scenes should swing alike. (Heavy chains of soft joints stretch far.)
std::pair<int, float> sceneState(b2World& world) {
    int touching = 0;
    for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
        touching += contact->IsTouching();
    }
    float lowest = 0.0f;
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        lowest = std::max(lowest, body->GetPosition().y);
    }
    return {touching, lowest};
}

// Keeps each run's CPU time per step for the closing comparison (CPU time:
// the machine is shared, and a step runs on one thread).

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    StepReporter reporter(stepsPerRun);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nOne fixed step, 2 chains x %d links (%d bodies, %d joints):\n", linksPerChain,
                2 * (2 * linksPerChain + 1), 2 * (3 * linksPerChain - 1));
    reporter.printEngineAgainstBare("engineFixedStep", "bareBox2DStep");

    buildEngineScene();
    float time = 0.0f;
    for (int i = 0; i < stepsPerRun; ++i) {
        engineStep(time);
    }

    const auto engineState = sceneState(*PhysicsManager::instance().world);
    GameObjectManager::instance().clear(true);
    auto world = buildBareScene();
    for (int i = 0; i < stepsPerRun; ++i) {
        world->Step(fixedStep, 8, 3);
        world->ClearForces();
    }
    const auto bareState = sceneState(*world);
    std::printf(
        "After %d steps: engine %d touching contacts, lowest link at %.1f m; bare %d, lowest at %.1f m\n",
        stepsPerRun, engineState.first, engineState.second, bareState.first, bareState.second);
    return 0;
}
