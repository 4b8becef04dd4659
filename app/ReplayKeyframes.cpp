#include "app/ReplayKeyframes.hpp"

#include <algorithm>

ReplayKeyframes::ReplayKeyframes(size_t interval, size_t byteBudget)
    : every(std::max<size_t>(1, interval)), budget(byteBudget) {}

bool ReplayKeyframes::wanted(size_t frame, unsigned long stay) const {
    if (stay != keptStay || frames.empty()) {
        return true;
    }
    return frame % every == 0 && frame > frames.back()->frame;
}

bool ReplayKeyframes::keepStay(unsigned long stay) {
    if (stay == keptStay) {
        return false;
    }
    clear();
    keptStay = stay;
    return true;
}

ReplayKeyframe& ReplayKeyframes::add(size_t frame, unsigned long stay) {
    keepStay(stay);
    frames.push_back(std::make_unique<ReplayKeyframe>());
    sizes.push_back(0);
    frames.back()->frame = frame;
    return *frames.back();
}

void ReplayKeyframes::added() {
    if (frames.empty()) {
        return;
    }
    sizes.back() = frames.back()->match.byteSize();
    heldBytes += sizes.back();
    while (heldBytes > budget && frames.size() > 1) {
        every *= 2;
        // The first keyframe of the stay stays: before it lies the stay's start.
        size_t kept = 1;
        heldBytes = sizes.front();
        for (size_t i = 1; i < frames.size(); ++i) {
            if (frames[i]->frame % every == 0) {
                frames[kept] = std::move(frames[i]);
                sizes[kept] = sizes[i];
                heldBytes += sizes[kept];
                ++kept;
            }
        }
        frames.resize(kept);
        sizes.resize(kept);
        if (kept == 1) {
            break;
        }
    }
}

const ReplayKeyframe* ReplayKeyframes::latestAtOrBefore(size_t frame, unsigned long stay) const {
    if (stay != keptStay) {
        return nullptr;
    }
    const auto after = std::upper_bound(frames.begin(), frames.end(), frame,
                                        [](size_t at, const auto& key) { return at < key->frame; });
    return after == frames.begin() ? nullptr : std::prev(after)->get();
}

const ReplayKeyframe* ReplayKeyframes::furthest(unsigned long stay) const {
    return stay == keptStay && !frames.empty() ? frames.back().get() : nullptr;
}

void ReplayKeyframes::endStayAt(size_t frame, unsigned long stay) {
    keepStay(stay);
    ended = true;
    endFrame = frame;
}

void ReplayKeyframes::clear() {
    frames.clear();
    sizes.clear();
    heldBytes = 0;
    ended = false;
    endFrame = 0;
}
