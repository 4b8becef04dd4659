#pragma once

#include <cstdint>
#include <string>

// The buttons and axes of a game pad, named by where they sit rather than by
// what a maker printed on them: `south` is the bottom face button on every
// pad (A on one maker's, a cross on another's), so one binding means the same
// place on all of them.
enum class PadButton {
    south,
    east,
    west,
    north,
    back,
    guide,
    start,
    leftStick,
    rightStick,
    leftShoulder,
    rightShoulder,
    dpadUp,
    dpadDown,
    dpadLeft,
    dpadRight,
    // The triggers read as buttons once pressed past half-way.
    leftTrigger,
    rightTrigger,
    count
};

// Sticks from -1 (left, up) to 1 (right, down), triggers from 0 to 1, as the
// pad reports them (before any dead zone).
enum class PadAxis { leftX, leftY, rightX, rightY, leftTrigger, rightTrigger, count };

// A trigger reads as a pressed button beyond this part of its travel.
constexpr float triggerPressPoint = 0.5f;

// The names used in bindings and the settings file ("south", "dpadleft",
// "lefttrigger", "leftx", ...), and back; false for any other name.
std::string padButtonName(PadButton button);
bool padButtonFromName(const std::string& name, PadButton& button);
std::string padAxisName(PadAxis axis);
bool padAxisFromName(const std::string& name, PadAxis& axis);

// The axis a stick axis is read together with (leftX with leftY, ...), for
// the stick's round dead zone; a trigger is its own partner.
PadAxis stickPartner(PadAxis axis);
