#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One button action: down while any of its input codes is down. Sampled once
// per frame by the InputManager.
struct InputEventConfig {
    using Callback = void (*)();

    InputEventConfig(std::string name, bool continuous) : name(std::move(name)), continuous(continuous) {}

    std::string name;
    // Input codes (see InputManager); the first one found down decides.
    std::vector<int32_t> codes;
    // Called in order each time the action fires.
    std::vector<Callback> callbacks;
    // False: fires only in the frame it goes down. True: fires every frame it is down.
    const bool continuous;
    // Fired in the current frame.
    bool fired = false;
    // Down at the last sampling.
    bool down = false;
    // Pressed since the sampling before the last one (a press the window
    // reported, even when let go again before the last sampling).
    bool tapped = false;
};
