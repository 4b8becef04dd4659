#include "core/input/SfmlInputBackend.hpp"

#include "core/input/GamepadHub.hpp"

bool SfmlInputBackend::isKeyPressed(sf::Keyboard::Key key) {
    return windowFocused && sf::Keyboard::isKeyPressed(key);
}

bool SfmlInputBackend::isMouseButtonPressed(sf::Mouse::Button button) {
    return windowFocused && sf::Mouse::isButtonPressed(button);
}

// SFML's own joysticks are not read: it numbers them in the order the system
// found them, which changes when pads come and go.
bool SfmlInputBackend::isJoystickConnected(unsigned int joystick) {
    return GamepadHub::instance().isConnected(static_cast<int>(joystick));
}

bool SfmlInputBackend::isJoystickButtonPressed(unsigned int joystick, unsigned int button) {
    return GamepadHub::instance().isRawButtonDown(static_cast<int>(joystick), button);
}

bool SfmlInputBackend::hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) {
    return GamepadHub::instance().hasRawAxis(static_cast<int>(joystick), axis);
}

float SfmlInputBackend::getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) {
    return GamepadHub::instance().rawAxisPosition(static_cast<int>(joystick), axis);
}

bool SfmlInputBackend::isPadButtonPressed(unsigned int pad, PadButton button) {
    return GamepadHub::instance().isButtonDown(static_cast<int>(pad), button);
}

float SfmlInputBackend::getPadAxisPosition(unsigned int pad, PadAxis axis) {
    return GamepadHub::instance().axisPosition(static_cast<int>(pad), axis);
}
