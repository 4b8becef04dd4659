#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <SFML/Window/Joystick.hpp>

#include "core/input/PadButton.hpp"

// One axis action: the sum of the contributions of its keys (and pad buttons)
// that are down and of its pads' axes, clamped to -1 .. 1 when read. Sticks
// are read through a round dead zone (see StickDeadZone.hpp).
struct AxisInputConfig {
    explicit AxisInputConfig(std::string name) : name(std::move(name)) {}

    std::string name;
    // (raw axis, pad slot) pairs, for pads without a standard mapping; SFML's
    // -100 .. 100 is read as -1 .. 1.
    std::vector<std::pair<sf::Joystick::Axis, unsigned int>> joystickAxes;
    // (standard axis, pad slot) pairs.
    std::vector<std::pair<PadAxis, unsigned int>> padAxes;
    // Input code to its contribution while down; the first value given for a code stays.
    std::map<int32_t, float> keyValues;
    // The value at the last sampling, read instead of the devices while the
    // InputManager samples axes once per frame.
    float sampledValue = 0.0f;
};
