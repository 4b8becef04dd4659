#pragma once

// Game pads made inside the test process with SDL's virtual joysticks, so
// that stories of pads plugged in, pressed, pushed and pulled out run without
// hardware, through the very GamepadHub the game reads. SDL's pads must be
// started first (the game's start-up does it).

#include <cstdint>
#include <memory>
#include <string>

#include <SDL2/SDL.h>

#include "core/input/ScriptedInputBackend.hpp"

class VirtualPad {
public:
    // A pad of the given model, not plugged in yet. `mapped`: SDL knows it as
    // a game controller (standard buttons); otherwise it is a joystick with
    // raw buttons only.
    explicit VirtualPad(std::string name = "Test Pad", uint16_t vendor = 0x1209, uint16_t product = 0x0001,
                        bool mapped = true);
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void plugIn();
    void unplug();
    bool isPluggedIn() const { return joystick != nullptr; }

    // Standard buttons and axes (sticks -1 .. 1, triggers 0 .. 1); on an
    // unmapped pad, raw button and axis numbers.
    void setButton(int button, bool down);
    void setAxis(int axis, float position);
    // How many rumble pulses the pad was asked for.
    int rumbles() const { return *rumbleCount; }

private:
    std::string name;
    uint16_t vendor, product;
    bool mapped;
    SDL_Joystick* joystick = nullptr;
    std::shared_ptr<int> rumbleCount = std::make_shared<int>(0);
};

// Keys from the script, pads from the GamepadHub (the virtual pads above).
class ScriptedKeysRealPads : public ScriptedInputBackend {
public:
    bool isJoystickConnected(unsigned int joystick) override;
    bool isJoystickButtonPressed(unsigned int joystick, unsigned int button) override;
    bool hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) override;
    float getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) override;
    bool isPadButtonPressed(unsigned int pad, PadButton button) override;
    float getPadAxisPosition(unsigned int pad, PadAxis axis) override;
};
