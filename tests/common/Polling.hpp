#pragma once

#include <chrono>
#include <thread>

// Checks `condition` every few milliseconds until it holds or `bound` has
// passed, and returns its last value. For waiting on what other threads do
// (SFML plays sound on its own): assert the result, never a fixed sleep.
template <class Condition>
bool pollUntil(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
