#include "net/LockstepInputs.hpp"

#include <algorithm>
#include <cassert>

namespace net {

void LockstepInputs::start(int delay) {
    *this = LockstepInputs();
    inputDelay = delay;
    // The frames before the first sampled input play nothing, on both sides alike.
    localFrames.assign(static_cast<size_t>(delay), PlayerInput());
    remoteFrames.assign(static_cast<size_t>(delay), PlayerInput());
    localEnd = remoteEnd = static_cast<uint32_t>(delay);
    // Those frames need no sending: the other side has them already.
    confirmedByRemote = localEnd;
}

void LockstepInputs::addLocal(const PlayerInput& input) {
    localFrames.push_back(input);
    ++localEnd;
}

bool LockstepInputs::receive(const InputRun& run) {
    // What the other side confirms of ours can only grow, and never past what we sent.
    if (run.receivedUpTo > confirmedByRemote && run.receivedUpTo <= localEnd) {
        confirmedByRemote = run.receivedUpTo;
    }
    const uint64_t runEnd =
        std::min<uint64_t>(static_cast<uint64_t>(run.firstFrame) + run.frames.size(), aheadLimit());
    if (run.firstFrame > remoteEnd || runEnd <= remoteEnd) {
        trim();
        return false;
    }
    for (size_t i = remoteEnd - run.firstFrame; i < runEnd - run.firstFrame; ++i) {
        remoteFrames.push_back(run.frames[i]);
        ++remoteEnd;
    }
    trim();
    return true;
}

uint32_t LockstepInputs::aheadLimit() const {
    // The other side plays a frame only once our input for it is here, and
    // ours is at most one input delay ahead of our play: its own input, a
    // delay further, is thus at most two delays ahead, which the prediction
    // window covers (the delay is at most 8).
    return lastPlayed + 1 + static_cast<uint32_t>(inputDelay) + predictionWindow + aheadMargin;
}

PlayerInput LockstepInputs::local(uint32_t frame) const {
    assert(frame >= localBase && frame < localEnd && "local input of a frame not kept");
    return localFrames[frame - localBase];
}

PlayerInput LockstepInputs::remote(uint32_t frame) const {
    assert(frame >= remoteBase && frame < remoteEnd && "remote input of a frame not kept");
    return remoteFrames[frame - remoteBase];
}

void LockstepInputs::played(uint32_t frame) {
    lastPlayed = std::max(lastPlayed, frame);
    trim();
}

InputRun LockstepInputs::outgoing() const {
    InputRun run;
    run.firstFrame = confirmedByRemote;
    run.receivedUpTo = remoteEnd;
    const uint32_t end =
        std::min<uint64_t>(localEnd, static_cast<uint64_t>(confirmedByRemote) + maxInputFrames);
    for (uint32_t frame = confirmedByRemote; frame < end; ++frame) {
        run.frames.push_back(localFrames[frame - localBase]);
    }
    return run;
}

void LockstepInputs::trim() {
    // Own frames go once played and confirmed; the other side's once played.
    const uint32_t localKeep = std::min(lastPlayed, confirmedByRemote);
    while (localBase < localKeep && !localFrames.empty()) {
        localFrames.pop_front();
        ++localBase;
    }
    while (remoteBase < lastPlayed && !remoteFrames.empty()) {
        remoteFrames.pop_front();
        ++remoteBase;
    }
}

} // namespace net
