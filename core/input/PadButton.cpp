#include "core/input/PadButton.hpp"

namespace {
const char* const buttonNames[] = {
    "south",    "east",      "west",       "north",        "back",          "guide",
    "start",    "leftstick", "rightstick", "leftshoulder", "rightshoulder", "dpadup",
    "dpaddown", "dpadleft",  "dpadright",  "lefttrigger",  "righttrigger",
};
static_assert(sizeof(buttonNames) / sizeof(buttonNames[0]) == static_cast<size_t>(PadButton::count),
              "one name per pad button");

const char* const axisNames[] = {"leftx", "lefty", "rightx", "righty", "lefttrigger", "righttrigger"};
static_assert(sizeof(axisNames) / sizeof(axisNames[0]) == static_cast<size_t>(PadAxis::count),
              "one name per pad axis");

template <class Enum, size_t count>
bool findName(const char* const (&names)[count], const std::string& name, Enum& found) {
    for (size_t i = 0; i < count; ++i) {
        if (name == names[i]) {
            found = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}
} // namespace

std::string padButtonName(PadButton button) {
    const auto index = static_cast<size_t>(button);
    return index < static_cast<size_t>(PadButton::count) ? buttonNames[index] : "";
}

bool padButtonFromName(const std::string& name, PadButton& button) {
    return findName(buttonNames, name, button);
}

std::string padAxisName(PadAxis axis) {
    const auto index = static_cast<size_t>(axis);
    return index < static_cast<size_t>(PadAxis::count) ? axisNames[index] : "";
}

bool padAxisFromName(const std::string& name, PadAxis& axis) {
    return findName(axisNames, name, axis);
}

PadAxis stickPartner(PadAxis axis) {
    switch (axis) {
    case PadAxis::leftX:
        return PadAxis::leftY;
    case PadAxis::leftY:
        return PadAxis::leftX;
    case PadAxis::rightX:
        return PadAxis::rightY;
    case PadAxis::rightY:
        return PadAxis::rightX;
    default:
        return axis;
    }
}
