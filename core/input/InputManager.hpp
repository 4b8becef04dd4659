#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include <SFML/Window/Event.hpp>

#include <SFML/Graphics/RenderWindow.hpp>

#include "core/input/AxisInputConfig.hpp"
#include "core/input/InputBackend.hpp"
#include "core/input/InputEventConfig.hpp"

// Turns device state into named actions, so game code asks for "Player1 Jump"
// and never for a key.
//
// An input code names one physical button of any device:
//   0 .. 149    keyboard key (sf::Keyboard::Key)
//   150 .. 199  mouse button (code - 150)
//   200 and up  joystick button: joystick = code / 100 - 2, button = code % 100
// Codes outside what the devices have (a negative code, a key past the last
// key, joystick 8 and up, ...) read as up.
//
// Button actions are sampled once per frame by `update`; axes when read, or,
// with `sampleAxesPerFrame`, also once per frame by `update`. Polling alone
// misses a key pressed and let go between two samplings, so the window's
// press events are latched too (`handleEvent`): a press seen since the last
// sampling fires its action once at the next one, whatever the key's state
// then.
// Names that are not registered are tolerated everywhere: adding to them does
// nothing, `wasPressed` is false and `getAxis` is 0.
class InputManager {
public:
    static InputManager& instance();
    // Back to the just-constructed manager: no actions or axes, SFML's
    // real-time device state, no window, axes read when asked.
    void reset();

    static constexpr int32_t firstMouseCode = 150;
    static constexpr int32_t firstJoystickCode = 200;

    // Creates a button action unless the name is taken.
    void addAction(const std::string& name, bool continuous);
    void addKey(const std::string& name, int32_t code);
    void addJoystickButton(const std::string& name, unsigned int button, unsigned int joystick);
    // Creates an axis action unless the name is taken.
    void addAxis(const std::string& name);
    void addAxisKey(const std::string& name, int32_t code, float value);
    void addJoystickAxis(const std::string& name, sf::Joystick::Axis axis, unsigned int joystick);

    // Samples every button action; called once per frame before anything else
    // updates. An action fires when it is down and was not (every frame it is
    // down, if continuous), or when one of its codes was pressed since the last
    // sampling. Latched presses are forgotten here.
    void update();
    // Notes a key, mouse button or joystick button press from the window for
    // the next `update`. The system's key repeats (a press of a key already
    // held) are not new presses; losing the focus forgets which keys are held.
    void handleEvent(const sf::Event& event);
    // Whether the action fired at the last sampling.
    bool wasPressed(const std::string& name) const;
    // In -1 .. 1, read from the devices now (or the value of the last
    // sampling while `sampleAxesPerFrame`).
    float getAxis(const std::string& name) const;

    // Replaces where device state comes from; empty restores SFML's real-time state.
    void setBackend(std::shared_ptr<InputBackend> backend);
    // Where device state comes from now (never empty); a decorator wraps it.
    std::shared_ptr<InputBackend> getBackend() const { return backend; }
    // Whether the code's button is down now.
    bool isCodeDown(int32_t code) const;

    std::map<std::string, std::shared_ptr<InputEventConfig>> actions;
    std::map<std::string, std::shared_ptr<AxisInputConfig>> axes;
    // The game's window (observed), stored at start-up.
    sf::RenderWindow* window = nullptr;
    // Set for recorded and replayed runs: every axis is read once per frame in
    // `update` and `getAxis` returns that value until the next `update`, so a
    // frame's recorded input is exactly what the game read during it.
    bool sampleAxesPerFrame = false;

private:
    InputManager();
    // The axis's value from the backend now, clamped to -1 .. 1.
    float readAxis(const AxisInputConfig& axis) const;

    std::shared_ptr<InputBackend> backend;
    // Codes pressed since the last sampling, from the window's events.
    std::set<int32_t> latchedPresses;
    // Codes the window's events say are held, to tell repeats from presses.
    std::set<int32_t> heldByEvents;
};
