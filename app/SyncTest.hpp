#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/MatchSnapshot.hpp"

// The game's own check that a match can be saved and restored (--sync-test
// N): after every frame it puts the match back to the state of N frames
// before, plays those N frames again with the input they sampled, and
// compares each frame's checksum with the one it had the first time. A
// state left out of the snapshot, or one that shows read back into the
// simulation, makes the two differ within a few frames.
//
// Frames are replayed only within one state and one physics world: a
// switch (the end of a match, a restart) starts the history afresh.
class SyncTest {
public:
    // What the frame loop keeps of its own clock besides the match.
    struct Clock {
        float elapsed = 0.0f;
        float physicsAccumulator = 0.0f;
        float fixedTime = 0.0f;
    };
    // Plays one frame again: from `clock`, with `delta` and the input the
    // frame sampled the first time; returns the clock after it.
    using Replay =
        std::function<Clock(const Clock& clock, float delta, const InputManager::SampledState& input)>;

    // `depth`: frames played again after each frame, 1 to 8.
    explicit SyncTest(int depth);

    // After a frame played for the first time, with the delta and input it
    // had and the clock after it: saves the match, and plays the last
    // `depth` frames again through `replay`.
    void afterFrame(float delta, const InputManager::SampledState& input, const Clock& clock,
                    const Replay& replay);

    unsigned long framesChecked() const { return frames; }
    unsigned long framesReplayed() const { return replayed; }
    unsigned long mismatches() const { return mismatchCount; }

private:
    struct Frame {
        MatchSnapshot after;
        Clock clock;
        uint32_t checksum = 0;
        SnapshotParts parts;
        float delta = 0.0f;
        InputManager::SampledState input;
        // Which stay in a state the frame ended in: a frame ended in another
        // may not be played again from here.
        unsigned long stateEntry = 0;
    };
    Frame& slot(unsigned long frame) { return history[frame % history.size()]; }
    static void note(Frame& frame);

    int depth;
    // The frames played, and after which the history begins (a switch).
    unsigned long frames = 0;
    unsigned long firstInHistory = 0;
    unsigned long replayed = 0;
    unsigned long mismatchCount = 0;
    std::vector<Frame> history;
    // The scene of a frame as first played, for telling where a replay differs.
    SceneSnapshot firstScene;
};
