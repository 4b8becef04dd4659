// The cost of one fixed step of the real arena fight: two players with full
// 80-segment beards (each segment with its slider, its joints and its three
// emitters), standing, floating their beards and flinging them, stepped
// through the scene's whole fixed update (every component, then the world
// step). Against it, the same bodies and joints cloned into a bare Box2D
// world, pushed by the same floating and fling forces, its players held on
// the ground as the controller holds them. Prints both, their ratio, the
// time per step and, as a check that both sides do the same work, their
// mean awake bodies and touching contacts per step; then the engine's fixed
// step against its own world step alone, which needs no stand-in. Needs a
// display (render textures): run it under xvfb-run from build/.

#include <benchmark/benchmark.h>

#include "EngineAgainstBare.hpp"

#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <box2d/box2d.h>

#include "app/Game.hpp"
#include "audio/SoundManager.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/ScriptedInputBackend.hpp"
#include "game/GameContent.hpp"
#include "game/InputBindings.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/BoxColliderComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/AssetManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

constexpr float fixedStep = 1.0f / 60.0f;
// One cycle: standing, floating (magic held), the release (fling) and its aftermath.
constexpr int standSteps = 40;
constexpr int floatSteps = 40;
constexpr int stepsPerCycle = 120;
constexpr int cycles = 10;

struct Arena {
    Game loop;
    std::shared_ptr<ScriptedInputBackend> devices = std::make_shared<ScriptedInputBackend>();
    std::vector<std::shared_ptr<PlayerControllerComponent>> players;
    float time = 0.0f;
};

std::shared_ptr<GameObject> staticBox(const std::string& name, sf::Vector2f centre, sf::Vector2f size) {
    auto object = GameObjectManager::instance().createGameObject(name);
    object->transform->setPosition(centre);
    object->addTag("Platform");
    addComponent<RigidBodyComponent>(object, b2_staticBody, 1.0f);
    addComponent<BoxColliderComponent>(object, sf::Vector2f(0.0f, 0.0f), size, 0.0f, false, 0.8f);
    return object;
}

std::shared_ptr<PlayerControllerComponent> player(int number, float x) {
    auto object = GameObjectManager::instance().createGameObject("Player" + std::to_string(number));
    object->transform->setPosition(x, -64.0f);
    addComponent<RigidBodyComponent>(object, b2_dynamicBody, 30.0f);
    addComponent<BoxColliderComponent>(object, sf::Vector2f(0.0f, 0.0f), sf::Vector2f(64.0f, 128.0f));
    return addComponent<PlayerControllerComponent>(object, number, true);
}

// The frame's update: growth and attack timers, events.
void frameUpdate(Arena& arena) {
    arena.loop.update(fixedStep, arena.time);
}

// The timed part: input sampling, every fixed update, then the world step.
// Kept out of line so that a profile can tell it from the untimed frame update.
[[gnu::noinline]] void fixedPart(Arena& arena) {
    arena.loop.sampleInput(fixedStep);
    auto& physics = PhysicsManager::instance();
    physics.flushPendingDestructions();
    arena.time += fixedStep;
    arena.loop.fixedUpdate(fixedStep, arena.time);
    physics.stepWorld(fixedStep);
    physics.clearForces();
}

// Both players on one wide island, beards grown one segment per 0.4 s (so
// each link opens before the next), then left to settle.
Arena& arena() {
    static Arena* built = [] {
        auto* scene = new Arena;
        auto& input = InputManager::instance();
        registerInputBindings(input);
        input.setBackend(scene->devices);
        auto& physics = PhysicsManager::instance();
        physics.createWorld(0.0f, 10.0f, 100.0f);
        createPlayerCollisionLayers(physics);
        loadCharacterArt(AssetManager::instance());
        registerGameSounds(SoundManager::instance());
        staticBox("Ground", {0.0f, 32.0f}, {6000.0f, 64.0f});
        scene->players = {player(1, -400.0f), player(2, 400.0f)};
        GameObjectManager::instance().flushPendingAdditions();
        for (auto& controller : scene->players) {
            controller->tuning.growInterval = 0.4f;
        }
        while (scene->players[0]->beard().segmentCount() < 80 ||
               scene->players[1]->beard().segmentCount() < 80) {
            fixedPart(*scene);
            frameUpdate(*scene);
        }
        for (int i = 0; i < 120; ++i) {
            fixedPart(*scene);
            frameUpdate(*scene);
        }
        return scene;
    }();
    return *built;
}

void setMagic(Arena& scene, bool down) {
    scene.devices->setKey(sf::Keyboard::G, down);
    scene.devices->setKey(sf::Keyboard::Numpad4, down);
}

void engineCycle(benchmark::State& state, Arena& scene) {
    for (int step = 0; step < stepsPerCycle; ++step) {
        setMagic(scene, step >= standSteps && step < standSteps + floatSteps);
        fixedPart(scene);
        state.PauseTiming();
        frameUpdate(scene);
        state.ResumeTiming();
    }
}

// ---- The same bodies and joints in bare Box2D --------------------------------

struct BareScene {
    std::unique_ptr<b2World> world;
    // Per player, its body, and its segment bodies from the chin to the tip.
    std::vector<b2Body*> players;
    std::vector<std::vector<b2Body*>> beards;
    int segmentCounts[2] = {0, 0};
};

b2Body* cloneBody(b2World& world, b2Body& body) {
    b2BodyDef def;
    def.type = body.GetType();
    def.position = body.GetPosition();
    def.angle = body.GetAngle();
    def.linearVelocity = body.GetLinearVelocity();
    def.angularVelocity = body.GetAngularVelocity();
    def.fixedRotation = body.IsFixedRotation();
    b2Body* copy = world.CreateBody(&def);
    for (b2Fixture* fixture = body.GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        b2FixtureDef fixtureDef;
        fixtureDef.shape = fixture->GetShape();
        fixtureDef.density = fixture->GetDensity();
        fixtureDef.friction = fixture->GetFriction();
        fixtureDef.restitution = fixture->GetRestitution();
        fixtureDef.isSensor = fixture->IsSensor();
        fixtureDef.filter = fixture->GetFilterData();
        copy->CreateFixture(&fixtureDef);
    }
    return copy;
}

void cloneJoint(b2World& world, b2Joint& joint, std::map<b2Body*, b2Body*>& bodies) {
    b2Body* a = bodies[joint.GetBodyA()];
    b2Body* b = bodies[joint.GetBodyB()];
    switch (joint.GetType()) {
    case e_revoluteJoint: {
        auto& from = static_cast<b2RevoluteJoint&>(joint);
        b2RevoluteJointDef def;
        def.bodyA = a, def.bodyB = b;
        def.localAnchorA = from.GetLocalAnchorA(), def.localAnchorB = from.GetLocalAnchorB();
        def.referenceAngle = from.GetReferenceAngle();
        def.enableLimit = from.IsLimitEnabled();
        def.lowerAngle = from.GetLowerLimit(), def.upperAngle = from.GetUpperLimit();
        def.enableMotor = from.IsMotorEnabled();
        def.motorSpeed = from.GetMotorSpeed(), def.maxMotorTorque = from.GetMaxMotorTorque();
        world.CreateJoint(&def);
        break;
    }
    case e_prismaticJoint: {
        auto& from = static_cast<b2PrismaticJoint&>(joint);
        b2PrismaticJointDef def;
        def.bodyA = a, def.bodyB = b;
        def.localAnchorA = from.GetLocalAnchorA(), def.localAnchorB = from.GetLocalAnchorB();
        def.localAxisA = from.GetLocalAxisA();
        def.referenceAngle = from.GetReferenceAngle();
        def.enableLimit = from.IsLimitEnabled();
        def.lowerTranslation = from.GetLowerLimit(), def.upperTranslation = from.GetUpperLimit();
        def.enableMotor = from.IsMotorEnabled();
        def.motorSpeed = from.GetMotorSpeed(), def.maxMotorForce = from.GetMaxMotorForce();
        world.CreateJoint(&def);
        break;
    }
    case e_distanceJoint: {
        auto& from = static_cast<b2DistanceJoint&>(joint);
        b2DistanceJointDef def;
        def.bodyA = a, def.bodyB = b;
        def.localAnchorA = from.GetLocalAnchorA(), def.localAnchorB = from.GetLocalAnchorB();
        def.length = from.GetLength();
        def.minLength = from.GetMinLength(), def.maxLength = from.GetMaxLength();
        def.stiffness = from.GetStiffness(), def.damping = from.GetDamping();
        world.CreateJoint(&def);
        break;
    }
    default:
        break;
    }
}

BareScene& bareScene() {
    static BareScene* built = [] {
        Arena& scene = arena();
        auto* bare = new BareScene;
        b2World& source = *PhysicsManager::instance().world;
        bare->world = std::make_unique<b2World>(source.GetGravity());
        bare->world->SetAutoClearForces(false);
        std::map<b2Body*, b2Body*> bodies;
        for (b2Body* body = source.GetBodyList(); body; body = body->GetNext()) {
            bodies[body] = cloneBody(*bare->world, *body);
        }
        for (b2Joint* joint = source.GetJointList(); joint; joint = joint->GetNext()) {
            cloneJoint(*bare->world, *joint, bodies);
        }
        for (size_t p = 0; p < scene.players.size(); ++p) {
            std::vector<b2Body*> beard;
            for (auto segment = scene.players[p]->beard().firstSegment(); segment;
                 segment = segment->towardTip.lock()) {
                beard.push_back(bodies[segment->getGameObject()->rigidBody->body]);
            }
            bare->players.push_back(bodies[scene.players[p]->getGameObject()->rigidBody->body]);
            bare->segmentCounts[p] = static_cast<int>(beard.size());
            bare->beards.push_back(std::move(beard));
        }
        return bare;
    }();
    return *built;
}

// `afterStep` runs after every world step (untimed runs sample the world there).
template <class AfterStep = void (*)()>
void bareCycle(
    BareScene& bare, AfterStep afterStep = [] {}) {
    for (int step = 0; step < stepsPerCycle; ++step) {
        const bool floating = step >= standSteps && step < standSteps + floatSteps;
        const bool release = step == standSteps + floatSteps;
        for (size_t p = 0; p < bare.beards.size(); ++p) {
            // The controller holds a grounded player: no sliding while it
            // stands, no motion at all while it floats its beard. Without this
            // the flings drag the bare players off the ground within a few
            // cycles, and a beard falling through nothing is cheap to step.
            b2Body* player = bare.players[p];
            player->SetLinearVelocity(b2Vec2(0.0f, floating ? 0.0f : player->GetLinearVelocity().y));
            const auto& beard = bare.beards[p];
            if (floating && !beard.empty()) {
                // The tip steered with the sticks at rest: half its speed goes each step.
                beard.back()->SetLinearVelocity(0.5f * beard.back()->GetLinearVelocity());
            }
            const float count = static_cast<float>(beard.size());
            // The controller's fling with the sticks at rest: 10 N per segment, weighted toward the tip.
            const float fling = count * 10.0f;
            for (size_t k = 0; k < beard.size(); ++k) {
                if (floating) {
                    beard[k]->ApplyForceToCenter(b2Vec2(0.0f, -600.0f * fixedStep), true);
                } else if (release) {
                    const float w = static_cast<float>(k + 1) / count;
                    beard[k]->ApplyForceToCenter(b2Vec2(fling * w, fling * w), true);
                }
            }
        }
        bare.world->Step(fixedStep, 8, 3);
        bare.world->ClearForces();
        afterStep();
    }
}

void enginePlayers(benchmark::State& state) {
    Arena& scene = arena();
    for (auto _ : state) {
        engineCycle(state, scene);
    }
    state.SetItemsProcessed(state.iterations() * stepsPerCycle);
}
BENCHMARK(enginePlayers)->Unit(benchmark::kMillisecond)->Iterations(cycles);

void bareBox2DPlayers(benchmark::State& state) {
    BareScene& bare = bareScene();
    for (auto _ : state) {
        bareCycle(bare);
    }
    state.SetItemsProcessed(state.iterations() * stepsPerCycle);
}
BENCHMARK(bareBox2DPlayers)->Unit(benchmark::kMillisecond)->Iterations(cycles);

// The same cycles of the engine's fight with only its world step timed (the
// contact calls run inside it). The bare world is pushed by a stand-in for
// the controller and moves its beards differently: cloned from the engine's,
// its solver did some 5 % more work than the engine's in its first ten
// cycles (the ones timed above) and some 5 % less in the ten after. Against
// this step the engine's own part of its fixed step shows on the very same
// bodies and motion.
void engineWorldStep(benchmark::State& state) {
    Arena& scene = arena();
    auto& physics = PhysicsManager::instance();
    for (auto _ : state) {
        for (int step = 0; step < stepsPerCycle; ++step) {
            state.PauseTiming();
            setMagic(scene, step >= standSteps && step < standSteps + floatSteps);
            scene.loop.sampleInput(fixedStep);
            physics.flushPendingDestructions();
            scene.time += fixedStep;
            scene.loop.fixedUpdate(fixedStep, scene.time);
            state.ResumeTiming();
            physics.stepWorld(fixedStep);
            state.PauseTiming();
            physics.clearForces();
            frameUpdate(scene);
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * stepsPerCycle);
}
BENCHMARK(engineWorldStep)->Unit(benchmark::kMillisecond)->Iterations(cycles);

// This thread's CPU time, microseconds.
double cpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Engine and bare cycles taken in turns, so that other work on a shared
// machine weighs on both sides alike (the benchmarks above run one side's
// cycles, then the other's). Only the engine's fixed part of each step is
// timed, as above. These are the bare world's later, cheaper cycles (see
// engineWorldStep): the ratio comes out higher than the one above.
void printInTurns(Arena& scene, BareScene& bare) {
    double engine = 0.0;
    double bareTime = 0.0;
    for (int round = 0; round < cycles; ++round) {
        for (int step = 0; step < stepsPerCycle; ++step) {
            setMagic(scene, step >= standSteps && step < standSteps + floatSteps);
            const double start = cpuMicroseconds();
            fixedPart(scene);
            engine += cpuMicroseconds() - start;
            frameUpdate(scene);
        }
        const double start = cpuMicroseconds();
        bareCycle(bare);
        bareTime += cpuMicroseconds() - start;
    }
    const double steps = static_cast<double>(cycles) * stepsPerCycle;
    std::printf("  in turns, %d cycles each: engine %.1f us, bare Box2D %.1f us, ratio %.2f\n", cycles,
                engine / steps, bareTime / steps, engine / bareTime);
}

// What a world has to work on in one step: its awake bodies and its
// touching contacts. Printed for both sides so their work can be compared.
struct WorldLoad {
    double awakeBodies = 0.0;
    double touchingContacts = 0.0;
};

void addLoad(WorldLoad& load, b2World& world) {
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        load.awakeBodies += body->IsAwake() && body->GetType() != b2_staticBody ? 1.0 : 0.0;
    }
    for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
        load.touchingContacts += contact->IsTouching() ? 1.0 : 0.0;
    }
}

// One more cycle of each side, untimed, sampling the load after every step.
void printLoads(Arena& scene, BareScene& bare) {
    WorldLoad engine, bareLoad;
    b2World& world = *PhysicsManager::instance().world;
    for (int step = 0; step < stepsPerCycle; ++step) {
        setMagic(scene, step >= standSteps && step < standSteps + floatSteps);
        fixedPart(scene);
        frameUpdate(scene);
        addLoad(engine, world);
    }
    bareCycle(bare, [&] { addLoad(bareLoad, *bare.world); });
    std::printf("Per step, mean: engine %.1f awake bodies, %.1f touching contacts; bare %.1f, %.1f\n",
                engine.awakeBodies / stepsPerCycle, engine.touchingContacts / stepsPerCycle,
                bareLoad.awakeBodies / stepsPerCycle, bareLoad.touchingContacts / stepsPerCycle);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Build both scenes before timing anything; the bare one is cloned from the engine's.
    Arena& scene = arena();
    BareScene& bare = bareScene();
    std::printf("Scene: %d and %d segments; bare clone: %d bodies, %d joints\n",
                scene.players[0]->beard().segmentCount(), scene.players[1]->beard().segmentCount(),
                bare.world->GetBodyCount(), bare.world->GetJointCount());
    StepReporter reporter(stepsPerCycle);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nOne fixed step, 2 players x 80 segments, standing / floating / flinging:\n");
    reporter.printEngineAgainstBare("enginePlayers", "bareBox2DPlayers");
    const auto& perStep = reporter.microsecondsPerStep;
    if (perStep.count("enginePlayers") && perStep.count("engineWorldStep") &&
        perStep.at("engineWorldStep") > 0.0) {
        std::printf("  its world step %5.1f us; engine / its own world step %.2f\n",
                    perStep.at("engineWorldStep"),
                    perStep.at("enginePlayers") / perStep.at("engineWorldStep"));
    }
    printInTurns(scene, bare);
    printLoads(scene, bareScene());
    std::printf("Segments after the runs: %d and %d\n", scene.players[0]->beard().segmentCount(),
                scene.players[1]->beard().segmentCount());
    return 0;
}
