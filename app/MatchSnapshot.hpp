#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/EventManager.hpp"
#include "core/StateIo.hpp"
#include "core/input/InputManager.hpp"
#include "physics/PhysicsSnapshot.hpp"
#include "scene/SceneSnapshot.hpp"

// Everything the simulation of a match carries from one frame to the next,
// as a value saved between two frames and restored in place later in the
// same process: the scene (its objects, in order, and their components'
// state), the physics world, the events and deferred calls waiting for the
// next delivery, the random source, the input as last sampled, and the
// current game state's own fields. Played on from a restore with the same
// input, a match gives bit for bit the frames it gave after the save.
//
// What only shows is left out and does not feed back: particles, sounds,
// animations, the camera's easing, the GUI's pages. So is the frame loop's
// own clock, which its owner (Game) keeps beside it.
//
// A snapshot holds the objects, components and events it names, so keeping
// one keeps the state of that frame alive; the world's Box2D objects are
// made again on restore when they were destroyed since.
struct MatchSnapshot {
    SceneSnapshot scene;
    PhysicsSnapshot physics;
    std::vector<std::shared_ptr<GameEvent>> events[2];
    bool eventQueueIndex = false;
    std::vector<std::function<void()>> calls[2];
    bool callListIndex = false;
    bool eventsPending = false;
    uint32_t randomSeed = 0;
    uint64_t randomState = 0;
    InputManager::SampledState input;
    SavedState gameState;

    // Bytes held, counting the world's and the scene's storage.
    size_t byteSize() const;
};

// Saves into `into`, reusing its storage. Between two frames only.
void saveMatch(MatchSnapshot& into);
// Puts the match back as `snapshot` found it. False (reported) when the
// physics world could not be put back: the match is then not the saved one.
bool restoreMatch(const MatchSnapshot& snapshot);

// A checksum of the whole snapshot's simulation state: the world (places,
// velocities, contacts and joints' impulses, sleep), every saved field of
// the scene, the events waiting, the random source and the input. Equal
// for two snapshots of the same frame of the same match, on any machine
// running the same build.
uint32_t snapshotChecksum(const MatchSnapshot& snapshot);

// The same, part by part, for telling where two snapshots differ: the
// world, the scene's objects, its components, the events, the random source,
// the input, the game state.
struct SnapshotParts {
    static constexpr int count = 7;
    static const char* name(int part);
    uint32_t checksums[count] = {};
    // The snapshot's checksum (`snapshotChecksum`), from its parts.
    uint32_t combined() const;
};
SnapshotParts snapshotPartChecksums(const MatchSnapshot& snapshot);
