#include "core/input/VirtualKeysInputBackend.hpp"

#include <cassert>

#include "core/input/InputManager.hpp"

VirtualKeysInputBackend::VirtualKeysInputBackend(std::shared_ptr<InputBackend> wrapped)
    : devices(std::move(wrapped)) {
    assert(devices && "a virtual keyboard needs the devices it lies over");
}

std::shared_ptr<VirtualKeysInputBackend> VirtualKeysInputBackend::installOn(InputManager& input) {
    if (auto installed = std::dynamic_pointer_cast<VirtualKeysInputBackend>(input.getBackend())) {
        return installed;
    }
    auto keyboard = std::make_shared<VirtualKeysInputBackend>(input.getBackend());
    input.setBackend(keyboard);
    return keyboard;
}

void VirtualKeysInputBackend::setKey(sf::Keyboard::Key key, bool down) {
    if (key < 0 || key >= sf::Keyboard::KeyCount) {
        return;
    }
    if (down) {
        held.insert(key);
    } else {
        held.erase(key);
    }
}

void VirtualKeysInputBackend::releaseAll() {
    held.clear();
}

bool VirtualKeysInputBackend::isKeyPressed(sf::Keyboard::Key key) {
    return held.count(key) > 0 || devices->isKeyPressed(key);
}

bool VirtualKeysInputBackend::isMouseButtonPressed(sf::Mouse::Button button) {
    return devices->isMouseButtonPressed(button);
}

bool VirtualKeysInputBackend::isJoystickConnected(unsigned int joystick) {
    return devices->isJoystickConnected(joystick);
}

bool VirtualKeysInputBackend::isJoystickButtonPressed(unsigned int joystick, unsigned int button) {
    return devices->isJoystickButtonPressed(joystick, button);
}

bool VirtualKeysInputBackend::hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) {
    return devices->hasJoystickAxis(joystick, axis);
}

float VirtualKeysInputBackend::getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) {
    return devices->getJoystickAxisPosition(joystick, axis);
}

bool VirtualKeysInputBackend::isPadButtonPressed(unsigned int pad, PadButton button) {
    return devices->isPadButtonPressed(pad, button);
}

float VirtualKeysInputBackend::getPadAxisPosition(unsigned int pad, PadAxis axis) {
    return devices->getPadAxisPosition(pad, axis);
}

std::vector<int32_t> VirtualKeysInputBackend::heldKeys() const {
    return std::vector<int32_t>(held.begin(), held.end());
}

void VirtualKeysInputBackend::holdOnly(const std::vector<int32_t>& keys) {
    held.clear();
    for (const int32_t key : keys) {
        held.insert(static_cast<sf::Keyboard::Key>(key));
    }
}
