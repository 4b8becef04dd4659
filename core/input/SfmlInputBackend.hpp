#pragma once

#include "core/input/InputBackend.hpp"

// Reads SFML's real-time keyboard, mouse and joystick state. Joystick state is
// what SFML last gathered (it refreshes it while the window polls events), so
// every query here is a cheap read.
class SfmlInputBackend : public InputBackend {
public:
    bool isKeyPressed(sf::Keyboard::Key key) override;
    bool isMouseButtonPressed(sf::Mouse::Button button) override;
    bool isJoystickConnected(unsigned int joystick) override;
    bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) override;
    bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) override;
    float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) override;
};
