#pragma once

#include <cstdint>
#include <string>

#include "core/input/PadButton.hpp"

// An input code names one physical button of any device:
//   0 .. 149      keyboard key (sf::Keyboard::Key)
//   150 .. 199    mouse button (code - 150)
//   200 .. 999    a pad's raw button: pad = code / 100 - 2, button = code % 100
//   1000 and up   a pad's standard button: pad = (code - 1000) / 100,
//                 button = (code - 1000) % 100 (PadButton)
// A pad's number is the player slot it plays (0 for player 1), not the order
// the system found the pads in.
namespace inputCodes {

constexpr int32_t firstMouse = 150;
constexpr int32_t firstJoystick = 200;
constexpr int32_t firstPad = 1000;
// Slots the codes can name (as many as SFML has joysticks).
constexpr int32_t padSlots = 8;
// Raw buttons a pad's codes can name (0 .. 99): a pad SDL cannot map may have
// more, and button 100 would be the next pad's button 0, so those are ignored.
constexpr unsigned int rawButtonsPerPad = 100;
constexpr int32_t lastCode = firstPad + 100 * padSlots - 1;

constexpr int32_t joystickButton(unsigned int slot, unsigned int button) {
    return firstJoystick + static_cast<int32_t>(100 * slot + button);
}
constexpr int32_t padButton(unsigned int slot, PadButton button) {
    return firstPad + static_cast<int32_t>(100 * slot) + static_cast<int32_t>(button);
}

// How a code is written in the settings file, by name: a key as "J",
// "Space", "Num1" (the digit row), "Numpad0", "Left", "LeftCtrl"; a mouse
// button as "mouse.left"; a pad's standard button by its slot (from 1) and
// name, "pad1.south"; a raw button of a pad without a standard mapping as
// "pad1.button8". A code without a name is written as its number.
std::string toText(int32_t code);
// The code from such a text. Names are read whatever their case and spaces
// ("numpad 0", "Left Ctrl", "SPACE"), as are the key names the game's own
// enumeration uses ("LControl", "Return") and the punctuation keys as their
// characters ("[", ";"). A number from 0 to lastCode is the code itself, as
// older files wrote every key. False for anything else.
bool fromText(const std::string& text, int32_t& code);
// Whether `text` is a code written as its bare number (the older form).
bool isNumberText(const std::string& text);
// A pad's standard axis in the same form, "pad2.leftx"; false for anything else.
std::string padAxisText(unsigned int slot, PadAxis axis);
bool padAxisFromText(const std::string& text, unsigned int& slot, PadAxis& axis);

} // namespace inputCodes
