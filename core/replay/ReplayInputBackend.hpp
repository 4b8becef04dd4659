#pragma once

#include <memory>

#include "core/input/InputBackend.hpp"
#include "core/replay/ReplayReader.hpp"

// Plays a replay's frames in place of the devices: every button action and
// axis reads what the reader's current frame recorded, and every device
// reads as idle (no key, no button, no joystick), so nothing a person does
// during playback reaches the game. The reader (shared) is advanced by the
// frame loop, not here.
class ReplayInputBackend : public InputBackend {
public:
    explicit ReplayInputBackend(std::shared_ptr<const ReplayReader> reader);

    bool playsActions() const override { return true; }
    bool isActionDown(const std::string& name) override;
    bool wasActionTapped(const std::string& name) override;
    float getAxisValue(const std::string& name) override;

    bool isKeyPressed(sf::Keyboard::Key) override { return false; }
    bool isMouseButtonPressed(sf::Mouse::Button) override { return false; }
    bool isJoystickConnected(unsigned int) override { return false; }
    bool isJoystickButtonPressed(unsigned int, unsigned int) override { return false; }
    bool hasJoystickAxis(unsigned int, sf::Joystick::Axis) override { return false; }
    float getJoystickAxisPosition(unsigned int, sf::Joystick::Axis) override { return 0.0f; }

private:
    std::shared_ptr<const ReplayReader> reader;
};
