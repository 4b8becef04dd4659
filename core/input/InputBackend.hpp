#pragma once

#include <string>

#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include "core/input/PadButton.hpp"

// Where the InputManager reads the devices' real-time state. The default reads
// the keyboard and mouse from SFML and the pads from the GamepadHub; tests and
// scripted runs of the game install one they drive themselves. A pad is named
// by the player slot it plays (0 for player 1); its "joystick" queries are its
// raw buttons and axes, which only pads without a standard mapping have.
// The InputManager only passes arguments inside SFML's ranges (key below
// KeyCount, button below ButtonCount, joystick below Joystick::Count, axis
// below AxisCount).
//
// A backend either reports devices, or plays whole actions back (a replay):
// then `playsActions` is true and the InputManager asks it for each action's
// and axis's value by name instead of reading any device.
class InputBackend {
public:
    virtual ~InputBackend() = default;

    virtual bool playsActions() const { return false; }
    // Whether the named button action is down this frame (only when playsActions).
    virtual bool isActionDown(const std::string&) { return false; }
    // Whether the named action was pressed since the last frame, also when it
    // was let go again before this frame (only when playsActions).
    virtual bool wasActionTapped(const std::string&) { return false; }
    // The named axis's value this frame, -1 .. 1 (only when playsActions).
    virtual float getAxisValue(const std::string&) { return 0.0f; }

    // The game's window gained (true) or lost the focus. A backend that reads
    // the real keyboard and mouse reads them as released while the window has
    // not got it: they belong to whichever window has. A backend over other
    // devices passes it on to them; one that plays or scripts input ignores it.
    virtual void setWindowFocused(bool) {}

    virtual bool isKeyPressed(sf::Keyboard::Key key) = 0;
    virtual bool isMouseButtonPressed(sf::Mouse::Button button) = 0;
    virtual bool isJoystickConnected(unsigned int joystick) = 0;
    // False for a disconnected joystick.
    virtual bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) = 0;
    // False for a disconnected joystick.
    virtual bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) = 0;
    // In SFML's range -100 .. 100.
    virtual float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) = 0;
    // A standard button of the slot's pad (the triggers are read as axes).
    virtual bool isPadButtonPressed(unsigned int, PadButton) { return false; }
    // Sticks in -1 .. 1, triggers in 0 .. 1, as the pad reports them.
    virtual float getPadAxisPosition(unsigned int, PadAxis) { return 0.0f; }
};
