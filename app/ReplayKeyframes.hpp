#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "app/Game.hpp"
#include "app/MatchSnapshot.hpp"

// The match as it stood after `frame` frames of a recording, with the loop's
// clock beside it: what a seek puts back instead of playing from the start.
struct ReplayKeyframe {
    size_t frame = 0;
    MatchSnapshot match;
    FrameTimes times;
};

// The keyframes of one stay in one game state (StateManager::entries), one
// every `interval()` frames of the recording, oldest first. A keyframe of
// another stay is never handed out: its scene and world are gone. Kept
// under a byte budget: past it, every other keyframe goes and the interval
// doubles, so a seek plays at most twice as many frames.
class ReplayKeyframes {
public:
    ReplayKeyframes(size_t interval, size_t byteBudget);

    // Drops the keyframes of any other stay than `stay`: they hold the
    // objects of a scene that is gone. True when it dropped some.
    bool keepStay(unsigned long stay);
    // Whether a keyframe is wanted after `frame` frames in `stay`: the first
    // frame seen of a stay, then on the interval past the furthest kept.
    bool wanted(size_t frame, unsigned long stay) const;
    // Storage for the keyframe after `frame` (the caller saves into it); a
    // keyframe of another stay drops all the others first.
    ReplayKeyframe& add(size_t frame, unsigned long stay);
    // Counts the bytes of the keyframe just filled, thinning out past the budget.
    void added();
    // The latest keyframe at or before `frame` in `stay`; null when none.
    const ReplayKeyframe* latestAtOrBefore(size_t frame, unsigned long stay) const;
    // The furthest keyframe of `stay`; null when none.
    const ReplayKeyframe* furthest(unsigned long stay) const;
    // The stay ends after this frame (its next frame switched state): no
    // keyframe lies beyond it. Forgotten with the stay.
    void endStayAt(size_t frame, unsigned long stay);
    bool stayEnded(unsigned long stay) const { return stay == keptStay && ended; }
    size_t stayEnd() const { return endFrame; }

    size_t count() const { return frames.size(); }
    // The frame of the oldest keyframe kept (0 when none).
    size_t firstFrame() const { return frames.empty() ? 0 : frames.front()->frame; }
    size_t bytes() const { return heldBytes; }
    size_t interval() const { return every; }
    void clear();

private:
    size_t every;
    size_t budget;
    unsigned long keptStay = 0;
    bool ended = false;
    size_t endFrame = 0;
    std::vector<std::unique_ptr<ReplayKeyframe>> frames;
    std::vector<size_t> sizes;
    size_t heldBytes = 0;
};
