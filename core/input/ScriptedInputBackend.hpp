#pragma once

#include <map>
#include <set>
#include <utility>

#include "core/input/InputBackend.hpp"

// Device state set by hand, for tests and scripted runs of the game. Starts
// with every key and button up and no joystick connected. A disconnected
// joystick behaves as SFML reports one: buttons up, no axes.
class ScriptedInputBackend : public InputBackend {
public:
    void setKey(sf::Keyboard::Key key, bool down);
    void setMouseButton(sf::Mouse::Button button, bool down);
    void setJoystickConnected(unsigned int joystick, bool connected);
    // Connects the joystick if it was not.
    void setJoystickButton(unsigned int joystick, unsigned int button, bool down);
    // Gives the joystick this axis (and connects it) at a position in -100 .. 100.
    void setJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis, float position);
    // A pad's standard button, and an axis's position (sticks -1 .. 1, triggers 0 .. 1).
    void setPadButton(unsigned int pad, PadButton button, bool down);
    void setPadAxis(unsigned int pad, PadAxis axis, float position);
    // Every key and button up, every joystick disconnected.
    void reset();

    bool isKeyPressed(sf::Keyboard::Key key) override;
    bool isMouseButtonPressed(sf::Mouse::Button button) override;
    bool isJoystickConnected(unsigned int joystick) override;
    bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) override;
    bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) override;
    float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) override;
    bool isPadButtonPressed(unsigned int pad, PadButton button) override;
    float getPadAxisPosition(unsigned int pad, PadAxis axis) override;

private:
    std::set<sf::Keyboard::Key> keys;
    std::set<sf::Mouse::Button> mouseButtons;
    std::set<unsigned int> connectedJoysticks;
    std::set<std::pair<unsigned int, unsigned int>> joystickButtons;
    std::map<std::pair<unsigned int, sf::Joystick::Axis>, float> joystickAxes;
    std::set<std::pair<unsigned int, PadButton>> padButtons;
    std::map<std::pair<unsigned int, PadAxis>, float> padAxes;
};
