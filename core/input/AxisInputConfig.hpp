#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <SFML/Window/Joystick.hpp>

// One axis action: the sum of the contributions of its keys that are down and
// of its joystick axes, clamped to -1 .. 1 when read.
struct AxisInputConfig {
    explicit AxisInputConfig(std::string name) : name(std::move(name)) {}

    std::string name;
    // (axis, joystick number) pairs; positions enter unscaled (SFML's -100 .. 100).
    std::vector<std::pair<sf::Joystick::Axis, unsigned int>> joystickAxes;
    // Input code to its contribution while down; the first value given for a code stays.
    std::map<int32_t, float> keyValues;
    // The value at the last sampling, read instead of the devices while the
    // InputManager samples axes once per frame.
    float sampledValue = 0.0f;
};
