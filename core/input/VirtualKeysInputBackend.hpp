#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "core/input/InputBackend.hpp"

class InputManager;

// Keys held down by the program itself (a computer player), on top of the
// devices: a key reads as pressed when it is down on the wrapped backend or
// held here. Everything else (mouse, joysticks, played-back actions) is the
// wrapped backend's.
//
// The computer player presses the very keys a person would, so everything
// the input actions do with keys (continuous and one-shot buttons, opposite
// axis keys cancelling) applies to it unchanged.
class VirtualKeysInputBackend : public InputBackend {
public:
    // `devices` is shared with whoever installed it; never empty.
    explicit VirtualKeysInputBackend(std::shared_ptr<InputBackend> devices);

    // The virtual keyboard over `input`'s devices: the one already installed,
    // or a new one wrapping the current backend, installed now. Replacing the
    // backend later (a replay, a test's scripted devices) takes it away again.
    static std::shared_ptr<VirtualKeysInputBackend> installOn(InputManager& input);

    // Holds the key down (true) or lets it go (false). Keys outside SFML's
    // range are ignored.
    void setKey(sf::Keyboard::Key key, bool down);
    // Lets go of every key held here.
    void releaseAll();
    bool isHeld(sf::Keyboard::Key key) const { return held.count(key) > 0; }
    // The keys held, in key order; and holding exactly those (a snapshot's).
    std::vector<int32_t> heldKeys() const;
    void holdOnly(const std::vector<int32_t>& keys);
    const std::shared_ptr<InputBackend>& getDevices() const { return devices; }

    bool playsActions() const override { return devices->playsActions(); }
    bool isActionDown(const std::string& name) override { return devices->isActionDown(name); }
    bool wasActionTapped(const std::string& name) override { return devices->wasActionTapped(name); }
    float getAxisValue(const std::string& name) override { return devices->getAxisValue(name); }
    // The keys held here are the program's own: the window's focus does not take them away.
    void setWindowFocused(bool focused) override { devices->setWindowFocused(focused); }

    bool isKeyPressed(sf::Keyboard::Key key) override;
    bool isMouseButtonPressed(sf::Mouse::Button button) override;
    bool isJoystickConnected(unsigned int joystick) override;
    bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) override;
    bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) override;
    float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) override;
    bool isPadButtonPressed(unsigned int pad, PadButton button) override;
    float getPadAxisPosition(unsigned int pad, PadAxis axis) override;

private:
    std::shared_ptr<InputBackend> devices;
    std::set<sf::Keyboard::Key> held;
};
