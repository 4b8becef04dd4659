#pragma once

#include <cstdint>
#include <string>

// The match a replay plays, followed frame by frame after each frame's
// update. Its frames are counted as an online match counts them: frame 0 is
// the first frame played in the arena (a recording of an online match is in
// the arena from its first frame), and the match's checksum is taken every
// 30 frames, so that a replay reaches the very checksums the match sent.
// Only the replay's first match is followed: it is over once the arena is
// left or started over.
//
// Asked for a frame (--until), it prints `state at frame F: XXXXXXXX` (the
// match's checksum after that frame's update) on standard output once the
// frame is reached.
class ReplayedMatch {
public:
    // Follows the match without stopping anywhere.
    ReplayedMatch() = default;
    // Stops at `frame` of the match.
    explicit ReplayedMatch(uint32_t frame) : stopsAt(true), stopFrame(frame) {}

    // One frame played; `inArena`: the arena is the current state after the
    // frame's update. True for the frame asked for, whose line is then printed.
    bool frame(bool inArena);
    // The arena was started over: the match followed is over.
    void restarted() { over = over || started; }

    // Frames of the match played so far.
    uint32_t frames() const { return played; }
    // The checksum of the last frame taken (every 30 frames).
    uint32_t lastChecksum() const { return checksum; }
    // A frame was asked for and the replay ended before it: why, in one line
    // (empty when it was reached or none was asked for).
    std::string missed() const;

private:
    static constexpr uint32_t checksumInterval = 30;

    bool stopsAt = false;
    uint32_t stopFrame = 0;
    bool reached = false;
    bool started = false;
    bool over = false;
    uint32_t played = 0;
    uint32_t checksum = 0;
};
