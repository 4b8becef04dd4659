#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>

#include "net/NetMessage.hpp"

namespace net {

// Both players' inputs frame by frame, for lockstep: frame k may run only
// once both are known. One's own input sampled while frame k runs is played
// in frame k + inputDelay; the first inputDelay frames play no input on
// either side. The other side's frames arrive in runs (InputRun) that
// repeat everything it has not heard confirmed, so a lost packet costs
// nothing; a run is taken only where it continues what is known.
//
// Frames are kept from the oldest one that is still needed (not yet played
// or not yet confirmed by the other side), so memory stays bounded by the
// input delay and the round trip, whatever the match's length. The other
// side's frames are taken no further ahead of the frames played than it can
// honestly be (`aheadLimit`): a run reaching beyond is cut there.
class LockstepInputs {
public:
    // Frames the other side may run ahead of its input reaching us, beyond
    // the input delay; and a few more, so a burst of honest frames is never cut.
    static constexpr uint32_t predictionWindow = 8;
    static constexpr uint32_t aheadMargin = 4;

    // Forgets everything and starts a match at frame 0.
    void start(int inputDelay);
    int getInputDelay() const { return inputDelay; }

    // Queues one's own input for the next frame not yet given (the first
    // call after `start` gives frame inputDelay).
    void addLocal(const PlayerInput& input);
    // The frame the next `addLocal` gives.
    uint32_t nextLocalFrame() const { return localEnd; }
    // Takes the new frames of a run from the other side. Frames already
    // known are skipped (they must be the same); a run that starts beyond
    // the known frames is dropped, and frames from `aheadLimit` on are not
    // taken. False when nothing new was learned.
    bool receive(const InputRun& run);
    // The first frame of the other side's input not taken yet.
    uint32_t aheadLimit() const;
    // Frames of either side held now.
    size_t keptFrames() const { return localFrames.size() + remoteFrames.size(); }

    // Whether both inputs of `frame` are known.
    bool ready(uint32_t frame) const { return frame < localEnd && frame < remoteEnd; }
    // Only for a frame that is ready.
    PlayerInput local(uint32_t frame) const;
    PlayerInput remote(uint32_t frame) const;
    // The frame played last (its inputs may be let go once confirmed).
    void played(uint32_t frame);

    // What to send now: one's own frames the other side has not confirmed,
    // oldest first (at most maxInputFrames), with how far the other side's
    // frames are known here.
    InputRun outgoing() const;
    // Every frame before this one of the other side's input is known.
    uint32_t remoteKnownUpTo() const { return remoteEnd; }

private:
    void trim();

    int inputDelay = 2;
    // Own frames [localBase, localEnd) and the other side's [remoteBase, remoteEnd).
    std::deque<PlayerInput> localFrames;
    std::deque<PlayerInput> remoteFrames;
    uint32_t localBase = 0;
    uint32_t localEnd = 0;
    uint32_t remoteBase = 0;
    uint32_t remoteEnd = 0;
    // The other side has every one of our frames before this one.
    uint32_t confirmedByRemote = 0;
    uint32_t lastPlayed = 0;
};

} // namespace net
