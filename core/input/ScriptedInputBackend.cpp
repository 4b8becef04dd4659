#include "core/input/ScriptedInputBackend.hpp"

namespace {
template <class Set, class Value> void setMember(Set& set, const Value& value, bool member) {
    if (member) {
        set.insert(value);
    } else {
        set.erase(value);
    }
}
} // namespace

void ScriptedInputBackend::setKey(sf::Keyboard::Key key, bool down) {
    setMember(keys, key, down);
}

void ScriptedInputBackend::setMouseButton(sf::Mouse::Button button, bool down) {
    setMember(mouseButtons, button, down);
}

void ScriptedInputBackend::setJoystickConnected(unsigned int joystick, bool connected) {
    setMember(connectedJoysticks, joystick, connected);
}

void ScriptedInputBackend::setJoystickButton(unsigned int joystick, unsigned int button, bool down) {
    connectedJoysticks.insert(joystick);
    setMember(joystickButtons, std::make_pair(joystick, button), down);
}

void ScriptedInputBackend::setJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis, float position) {
    connectedJoysticks.insert(joystick);
    joystickAxes[{joystick, axis}] = position;
}

void ScriptedInputBackend::reset() {
    keys.clear();
    mouseButtons.clear();
    connectedJoysticks.clear();
    joystickButtons.clear();
    joystickAxes.clear();
    padButtons.clear();
    padAxes.clear();
}

void ScriptedInputBackend::setPadButton(unsigned int pad, PadButton button, bool down) {
    setMember(padButtons, std::make_pair(pad, button), down);
}

void ScriptedInputBackend::setPadAxis(unsigned int pad, PadAxis axis, float position) {
    padAxes[{pad, axis}] = position;
}

bool ScriptedInputBackend::isPadButtonPressed(unsigned int pad, PadButton button) {
    return padButtons.count({pad, button}) > 0;
}

float ScriptedInputBackend::getPadAxisPosition(unsigned int pad, PadAxis axis) {
    const auto found = padAxes.find({pad, axis});
    return found == padAxes.end() ? 0.0f : found->second;
}

bool ScriptedInputBackend::isKeyPressed(sf::Keyboard::Key key) {
    return keys.count(key) > 0;
}

bool ScriptedInputBackend::isMouseButtonPressed(sf::Mouse::Button button) {
    return mouseButtons.count(button) > 0;
}

bool ScriptedInputBackend::isJoystickConnected(unsigned int joystick) {
    return connectedJoysticks.count(joystick) > 0;
}

bool ScriptedInputBackend::isJoystickButtonPressed(unsigned int joystick, unsigned int button) {
    return isJoystickConnected(joystick) && joystickButtons.count({joystick, button}) > 0;
}

bool ScriptedInputBackend::hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) {
    return isJoystickConnected(joystick) && joystickAxes.count({joystick, axis}) > 0;
}

float ScriptedInputBackend::getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) {
    if (!isJoystickConnected(joystick)) {
        return 0.0f;
    }
    const auto found = joystickAxes.find({joystick, axis});
    return found == joystickAxes.end() ? 0.0f : found->second;
}
