#include "app/MatchSnapshot.hpp"

#include <cstring>
#include <typeinfo>

#include "core/RandomSource.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "physics/PhysicsManager.hpp"

size_t MatchSnapshot::byteSize() const {
    size_t bytes = sizeof(*this) + scene.byteSize() + physics.byteSize() + gameState.bytes.size();
    for (int half = 0; half < 2; ++half) {
        bytes += events[half].size() * sizeof(events[half].front()) +
                 calls[half].size() * sizeof(calls[half].front());
    }
    bytes += input.actions.size() * sizeof(input.actions.front()) + input.axes.size() * sizeof(float);
    return bytes;
}

void saveMatch(MatchSnapshot& into) {
    saveScene(into.scene);
    savePhysics(into.physics);
    const auto& events = EventManager::instance();
    for (int half = 0; half < 2; ++half) {
        into.events[half] = events.eventQueues[half];
        into.calls[half] = events.deferredCalls[half];
    }
    into.eventQueueIndex = events.eventQueueIndex;
    into.callListIndex = events.callListIndex;
    into.eventsPending = events.pending;
    into.randomSeed = RandomSource::instance().getSeed();
    into.randomState = RandomSource::instance().getState();
    InputManager::instance().saveSampled(into.input);
    into.gameState.clear();
    if (const auto& state = StateManager::instance().currentState) {
        StateIo io(into.gameState);
        state->snapshotState(io);
    }
}

bool restoreMatch(const MatchSnapshot& snapshot) {
    auto& physics = PhysicsManager::instance();
    // Taking off what was made since the save ends its contacts: the scene's
    // own record of what touches what comes back with the snapshot instead.
    physics.muteContacts(true);
    restoreScene(snapshot.scene);
    const bool worldBack = restorePhysics(snapshot.physics);
    physics.muteContacts(false);
    auto& events = EventManager::instance();
    for (int half = 0; half < 2; ++half) {
        events.eventQueues[half] = snapshot.events[half];
        events.deferredCalls[half] = snapshot.calls[half];
    }
    events.eventQueueIndex = snapshot.eventQueueIndex;
    events.callListIndex = snapshot.callListIndex;
    events.pending = snapshot.eventsPending;
    RandomSource::instance().restore(snapshot.randomSeed, snapshot.randomState);
    InputManager::instance().restoreSampled(snapshot.input);
    if (const auto& state = StateManager::instance().currentState) {
        StateIo io(snapshot.gameState);
        state->snapshotState(io);
    }
    if (!worldBack) {
        reportProblem("A saved match could not be put back: its physics world differs from the running one");
    }
    return worldBack;
}

namespace {
// FNV-1a over 64-bit words (bytes for the tail), folded to 32 bits: fast
// enough to hash a whole snapshot every frame.
class WordHash {
public:
    void add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        size_t at = 0;
        for (; at + 8 <= size; at += 8) {
            uint64_t word = 0;
            std::memcpy(&word, bytes + at, 8);
            hash = (hash ^ word) * prime;
        }
        for (; at < size; ++at) {
            hash = (hash ^ bytes[at]) * prime;
        }
    }
    template <class T> void addValue(const T& value) { add(&value, sizeof value); }
    uint32_t value() const { return static_cast<uint32_t>(hash ^ (hash >> 32)); }

private:
    static constexpr uint64_t prime = 1099511628211ull;
    uint64_t hash = 14695981039346656037ull;
};

void addWorld(WordHash& hash, const WorldSnapshot& world) {
    // Field by field: the saved pointers (keys for a restore) differ from
    // run to run, and a struct's padding holds whatever the memory held.
    for (const auto& body : world.bodies) {
        hash.addValue(static_cast<int32_t>(body.type));
        hash.addValue(body.enabled);
        hash.addValue(body.transform);
        hash.addValue(body.sweep);
        hash.addValue(body.linearVelocity);
        hash.addValue(body.angularVelocity);
        hash.addValue(body.force);
        hash.addValue(body.torque);
        hash.addValue(body.flags);
        hash.addValue(body.sleepTime);
        hash.addValue(body.mass);
        hash.addValue(body.invInertia);
        hash.addValue(body.fixtureCount);
        hash.addValue(body.contactEdgeCount);
        hash.addValue(body.jointEdgeCount);
    }
    for (const auto& fixture : world.fixtures) {
        hash.addValue(fixture.filter.categoryBits);
        hash.addValue(fixture.filter.maskBits);
        hash.addValue(fixture.filter.groupIndex);
        hash.addValue(fixture.density);
        hash.addValue(fixture.friction);
        hash.addValue(fixture.restitution);
    }
    for (const auto& proxy : world.proxies) {
        hash.addValue(proxy.aabb);
        hash.addValue(proxy.id);
    }
    for (const auto& contact : world.contacts) {
        hash.addValue(contact.fixtureA);
        hash.addValue(contact.fixtureB);
        hash.addValue(contact.childA);
        hash.addValue(contact.childB);
        hash.addValue(contact.flags);
        const b2Manifold& manifold = contact.manifold;
        hash.addValue(manifold.pointCount);
        for (int32 i = 0; i < manifold.pointCount && i < b2_maxManifoldPoints; ++i) {
            hash.addValue(manifold.points[i].localPoint);
            hash.addValue(manifold.points[i].normalImpulse);
            hash.addValue(manifold.points[i].tangentImpulse);
            hash.addValue(manifold.points[i].id.key);
        }
        if (manifold.pointCount > 0) {
            hash.addValue(manifold.localNormal);
            hash.addValue(manifold.localPoint);
            hash.addValue(static_cast<int32_t>(manifold.type));
        }
        hash.addValue(contact.toiCount);
        hash.addValue(contact.friction);
        hash.addValue(contact.restitution);
        hash.addValue(contact.tangentSpeed);
    }
    hash.add(world.contactEdges.data(), world.contactEdges.size() * sizeof(uint32_t));
    for (const auto& joint : world.joints) {
        hash.addValue(static_cast<int32_t>(joint.type));
        hash.addValue(joint.bodyA);
        hash.addValue(joint.bodyB);
        for (float impulse : joint.impulses) {
            // A joint not yet through a step holds whatever its memory held
            // in the parts it has not worked out; its sign of zero says nothing.
            hash.addValue(impulse == 0.0f || impulse != impulse ? 0.0f : impulse);
        }
    }
    hash.add(world.jointEdges.data(), world.jointEdges.size() * sizeof(uint32_t));
    hash.addValue(world.previousInverseStep);
    hash.addValue(world.proxyCount);
    hash.add(world.moveBuffer.data(), world.moveBuffer.size() * sizeof(int32_t));
}
} // namespace

const char* SnapshotParts::name(int part) {
    static const char* const names[count] = {"world",         "objects", "components", "events",
                                             "random source", "input",   "game state"};
    return part >= 0 && part < count ? names[part] : "";
}

SnapshotParts snapshotPartChecksums(const MatchSnapshot& snapshot) {
    SnapshotParts parts;
    WordHash world;
    addWorld(world, snapshot.physics.world);
    parts.checksums[0] = world.value();
    WordHash objects;
    objects.add(snapshot.scene.objects.bytes.data(), snapshot.scene.objects.bytes.size());
    parts.checksums[1] = objects.value();
    WordHash components;
    components.add(snapshot.scene.components.bytes.data(), snapshot.scene.components.bytes.size());
    parts.checksums[2] = components.value();
    WordHash events;
    for (int half = 0; half < 2; ++half) {
        events.addValue(static_cast<uint32_t>(snapshot.events[half].size()));
        for (const auto& event : snapshot.events[half]) {
            const char* type = event ? typeid(*event).name() : "";
            events.add(type, std::strlen(type));
        }
        events.addValue(static_cast<uint32_t>(snapshot.calls[half].size()));
    }
    parts.checksums[3] = events.value();
    WordHash random;
    random.addValue(snapshot.randomSeed);
    random.addValue(snapshot.randomState);
    parts.checksums[4] = random.value();
    WordHash input;
    for (const auto& action : snapshot.input.actions) {
        input.addValue(action.down);
        input.addValue(action.tapped);
    }
    input.add(snapshot.input.axes.data(), snapshot.input.axes.size() * sizeof(float));
    for (int32_t key : snapshot.input.virtualKeys) {
        input.addValue(key);
    }
    parts.checksums[5] = input.value();
    WordHash state;
    state.add(snapshot.gameState.bytes.data(), snapshot.gameState.bytes.size());
    parts.checksums[6] = state.value();
    return parts;
}

uint32_t SnapshotParts::combined() const {
    WordHash hash;
    hash.add(checksums, sizeof checksums);
    return hash.value();
}

uint32_t snapshotChecksum(const MatchSnapshot& snapshot) {
    return snapshotPartChecksums(snapshot).combined();
}
