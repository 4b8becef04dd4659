#pragma once

#include <array>
#include <memory>
#include <string>

#include "core/input/InputBackend.hpp"
#include "net/NetMessage.hpp"

class InputManager;

// The input of an online match's frame: both players' actions and axes
// ("Player1 Jump", "Player2 Horizontal", ...) play what the lockstep agreed
// on for the frame, so both games sample exactly the same; every other action
// (Escape, which only opens the pause page here) reads this machine's
// devices. Every device query (keys, mouse, raw joysticks, standard pad
// buttons and axes) goes to the wrapped devices, so a computer player's
// virtual keyboard can sit on top and the local player is read through it.
class OnlineInputBackend : public InputBackend {
public:
    // `devices` is shared and never empty; `input` is observed and outlives this.
    OnlineInputBackend(std::shared_ptr<InputBackend> devices, const InputManager& input);

    // The two players' inputs (players 1 and 2) of the frame sampled next.
    void setFrame(const std::array<net::PlayerInput, 2>& players) { frame = players; }
    const std::shared_ptr<InputBackend>& getDevices() const { return devices; }

    bool playsActions() const override { return true; }
    bool isActionDown(const std::string& name) override;
    bool wasActionTapped(const std::string& name) override;
    float getAxisValue(const std::string& name) override;
    void setWindowFocused(bool focused) override { devices->setWindowFocused(focused); }

    bool isKeyPressed(sf::Keyboard::Key key) override { return devices->isKeyPressed(key); }
    bool isMouseButtonPressed(sf::Mouse::Button button) override {
        return devices->isMouseButtonPressed(button);
    }
    bool isJoystickConnected(unsigned int joystick) override {
        return devices->isJoystickConnected(joystick);
    }
    bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) override {
        return devices->isJoystickButtonPressed(joystick, button);
    }
    bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) override {
        return devices->hasJoystickAxis(joystick, axis);
    }
    float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) override {
        return devices->getJoystickAxisPosition(joystick, axis);
    }
    bool isPadButtonPressed(unsigned int pad, PadButton button) override {
        return devices->isPadButtonPressed(pad, button);
    }
    float getPadAxisPosition(unsigned int pad, PadAxis axis) override {
        return devices->getPadAxisPosition(pad, axis);
    }

private:
    // The player (1 or 2) and the index of `name` among the online buttons
    // or axes; false for any other name.
    static bool findPlayerName(const std::string& name, bool axis, int& player, size_t& index);

    std::shared_ptr<InputBackend> devices;
    const InputManager& input;
    std::array<net::PlayerInput, 2> frame{};
};
