// The cost of saving a Box2D world and putting it back, for a world the size
// of a match with two full beards: two chains of 80 links, each link a body
// with a slider body (prismatic, revolute and distance joints, as the beard
// builds them), hanging from static chins over a ground, with a dozen crates:
// 335 bodies, 478 joints. The chains have swung for 300 steps first, so the
// contacts are many and touching.
//
// Printed: the snapshot's size, save (into a kept snapshot and a new one),
// restore in place, restore and a step, a plain step, and
// making the same bodies and joints afresh (what a rebuild would pay before
// even finding and refilling its contacts).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include <box2d/box2d.h>

#include "physics/WorldSnapshot.hpp"

namespace {

constexpr int linksPerChain = 80;
constexpr float fixedStep = 1.0f / 60.0f;
constexpr float segment = 0.2f;

b2Body* circleBody(b2World& world, b2Vec2 at, float radius, float mass, uint16 category) {
    b2BodyDef bodyDef;
    bodyDef.type = b2_dynamicBody;
    bodyDef.position = at;
    b2Body* body = world.CreateBody(&bodyDef);
    b2CircleShape circle;
    circle.m_radius = radius;
    b2FixtureDef fixture;
    fixture.shape = &circle;
    fixture.density = mass / (b2_pi * radius * radius);
    fixture.filter.categoryBits = category;
    body->CreateFixture(&fixture);
    return body;
}

void buildChain(b2World& world, b2Vec2 chinAt, float direction, uint16 category) {
    b2BodyDef chinDef;
    chinDef.position = chinAt;
    b2Body* chin = world.CreateBody(&chinDef);
    b2Body* older = nullptr;
    for (int k = 0; k < linksPerChain; ++k) {
        const b2Vec2 at = chinAt + b2Vec2(direction * segment * (linksPerChain - k), 0.0f);
        b2Body* link = circleBody(world, at, segment * 0.5f, 1.0f, category);
        b2Body* slider = circleBody(world, at, segment * 0.25f, 0.1f, category);
        b2PrismaticJointDef prismatic;
        prismatic.Initialize(link, slider, at, b2Vec2(0.0f, 1.0f));
        prismatic.enableLimit = true;
        prismatic.upperTranslation = 2.0f * segment;
        prismatic.enableMotor = true;
        prismatic.motorSpeed = 1.0f;
        prismatic.maxMotorForce = 20.0f;
        world.CreateJoint(&prismatic);
        if (older) {
            b2RevoluteJointDef hinge;
            hinge.Initialize(slider, older, at);
            hinge.enableLimit = true;
            hinge.lowerAngle = -0.785f;
            hinge.upperAngle = 0.785f;
            world.CreateJoint(&hinge);
            b2DistanceJointDef rope;
            rope.Initialize(link, older, at, older->GetPosition());
            rope.minLength = 0.0f;
            rope.maxLength = 2.0f * segment;
            world.CreateJoint(&rope);
        }
        older = link;
    }
    b2RevoluteJointDef hang;
    hang.Initialize(chin, older, chinAt);
    world.CreateJoint(&hang);
}

std::unique_ptr<b2World> buildMatchSizedWorld() {
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 10.0f));
    world->SetAutoClearForces(false);
    b2BodyDef groundDef;
    groundDef.position.Set(0.0f, 8.0f);
    b2PolygonShape groundShape;
    groundShape.SetAsBox(20.0f, 0.5f);
    world->CreateBody(&groundDef)->CreateFixture(&groundShape, 0.0f);
    buildChain(*world, {-1.0f, 0.0f}, 1.0f, 0x0004);
    buildChain(*world, {1.0f, 0.6f}, -1.0f, 0x0010);
    b2PolygonShape crateShape;
    crateShape.SetAsBox(0.2f, 0.2f);
    for (int i = 0; i < 12; ++i) {
        b2BodyDef crateDef;
        crateDef.type = b2_dynamicBody;
        crateDef.position.Set(-3.0f + 0.5f * i, 6.0f);
        world->CreateBody(&crateDef)->CreateFixture(&crateShape, 1.0f);
    }
    return world;
}

// The world after 300 steps, and its snapshot then.
struct Swung {
    Swung() : world(buildMatchSizedWorld()) {
        for (int i = 0; i < 300; ++i) {
            world->Step(fixedStep, 8, 3);
            world->ClearForces();
        }
        snapshot = saveWorld(*world);
    }
    std::unique_ptr<b2World> world;
    WorldSnapshot snapshot;
};

Swung& swung() {
    static Swung scene;
    return scene;
}

// Into a snapshot kept from frame to frame, as a rollback keeps its ring.
void save(benchmark::State& state) {
    auto& scene = swung();
    WorldSnapshot snapshot;
    for (auto _ : state) {
        saveWorld(*scene.world, snapshot);
        benchmark::DoNotOptimize(snapshot.bodies.data());
    }
    state.counters["bytes"] = static_cast<double>(scene.snapshot.byteSize());
}
BENCHMARK(save)->Unit(benchmark::kMicrosecond);

// Into a new snapshot each time.
void saveFresh(benchmark::State& state) {
    auto& scene = swung();
    for (auto _ : state) {
        WorldSnapshot snapshot = saveWorld(*scene.world);
        benchmark::DoNotOptimize(snapshot.bodies.data());
    }
}
BENCHMARK(saveFresh)->Unit(benchmark::kMicrosecond);

void restoreInPlace(benchmark::State& state) {
    auto& scene = swung();
    for (auto _ : state) {
        benchmark::DoNotOptimize(restoreWorld(*scene.world, scene.snapshot));
    }
}
BENCHMARK(restoreInPlace)->Unit(benchmark::kMicrosecond);

// Restore then one step: less `restoreInPlace`, the step after a restore.
void restoreAndStep(benchmark::State& state) {
    auto& scene = swung();
    for (auto _ : state) {
        restoreWorld(*scene.world, scene.snapshot);
        scene.world->Step(fixedStep, 8, 3);
        scene.world->ClearForces();
    }
}
BENCHMARK(restoreAndStep)->Unit(benchmark::kMicrosecond);

// One plain step from the saved state, for scale.
void step(benchmark::State& state) {
    auto& scene = swung();
    for (auto _ : state) {
        state.PauseTiming();
        restoreWorld(*scene.world, scene.snapshot);
        state.ResumeTiming();
        scene.world->Step(fixedStep, 8, 3);
        scene.world->ClearForces();
    }
}
BENCHMARK(step)->Unit(benchmark::kMicrosecond);

// Making the bodies, fixtures and joints anew in an empty world.
void makeAfresh(benchmark::State& state) {
    for (auto _ : state) {
        auto world = buildMatchSizedWorld();
        benchmark::DoNotOptimize(world.get());
    }
}
BENCHMARK(makeAfresh)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    auto& scene = swung();
    int touching = 0;
    for (b2Contact* contact = scene.world->GetContactList(); contact; contact = contact->GetNext()) {
        touching += contact->IsTouching();
    }
    std::printf("World: %d bodies, %d joints, %d contacts (%d touching); snapshot %zu bytes\n",
                scene.world->GetBodyCount(), scene.world->GetJointCount(), scene.world->GetContactCount(),
                touching, scene.snapshot.byteSize());
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
