#pragma once

#include "core/input/InputBackend.hpp"

// Reads SFML's real-time keyboard and mouse state, and the pads the
// GamepadHub holds (what it gathered at its last poll, so every query is a
// cheap read). SFML reads the whole keyboard and mouse of the display,
// whatever window has the focus: while the game's window has not got it,
// every key and mouse button reads as released. Pads are not tied to a window.
class SfmlInputBackend : public InputBackend {
public:
    void setWindowFocused(bool focused) override { windowFocused = focused; }
    bool isKeyPressed(sf::Keyboard::Key key) override;
    bool isMouseButtonPressed(sf::Mouse::Button button) override;
    bool isJoystickConnected(unsigned int joystick) override;
    bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) override;
    bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) override;
    float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) override;
    bool isPadButtonPressed(unsigned int pad, PadButton button) override;
    float getPadAxisPosition(unsigned int pad, PadAxis axis) override;

private:
    bool windowFocused = true;
};
