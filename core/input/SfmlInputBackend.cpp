#include "core/input/SfmlInputBackend.hpp"

bool SfmlInputBackend::isKeyPressed(sf::Keyboard::Key key) {
    return sf::Keyboard::isKeyPressed(key);
}

bool SfmlInputBackend::isMouseButtonPressed(sf::Mouse::Button button) {
    return sf::Mouse::isButtonPressed(button);
}

bool SfmlInputBackend::isJoystickConnected(unsigned int joystick) {
    return sf::Joystick::isConnected(joystick);
}

bool SfmlInputBackend::isJoystickButtonPressed(unsigned int joystick, unsigned int button) {
    return sf::Joystick::isButtonPressed(joystick, button);
}

bool SfmlInputBackend::hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) {
    return sf::Joystick::hasAxis(joystick, axis);
}

float SfmlInputBackend::getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) {
    return sf::Joystick::getAxisPosition(joystick, axis);
}
