#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <SFML/Window/Event.hpp>

#include <SFML/Graphics/RenderWindow.hpp>

#include "core/input/AxisInputConfig.hpp"
#include "core/input/InputBackend.hpp"
#include "core/input/InputCodes.hpp"
#include "core/input/InputEventConfig.hpp"

// Turns device state into named actions, so game code asks for "Player1 Jump"
// and never for a key.
//
// An input code names one physical button of any device (InputCodes.hpp):
// keys, mouse buttons, pads' raw buttons and pads' standard buttons, a pad
// named by the player slot it plays. Codes outside what the devices have (a
// negative code, a key past the last key, slot 8 and up, ...) read as up.
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

    static constexpr int32_t firstMouseCode = inputCodes::firstMouse;
    static constexpr int32_t firstJoystickCode = inputCodes::firstJoystick;

    // Creates a button action unless the name is taken.
    void addAction(const std::string& name, bool continuous);
    void addKey(const std::string& name, int32_t code);
    void addJoystickButton(const std::string& name, unsigned int button, unsigned int joystick);
    // Creates an axis action unless the name is taken.
    void addAxis(const std::string& name);
    void addAxisKey(const std::string& name, int32_t code, float value);
    void addJoystickAxis(const std::string& name, sf::Joystick::Axis axis, unsigned int joystick);
    // A standard pad button of the slot's pad (player slot, 0 for player 1).
    void addPadButton(const std::string& name, PadButton button, unsigned int slot);
    void addPadAxis(const std::string& name, PadAxis axis, unsigned int slot);
    // Samples every button action; called once per frame before anything else
    // updates. An action fires when it is down and was not (every frame it is
    // down, if continuous), or when one of its codes was pressed since the last
    // sampling. Latched presses are forgotten here.
    void update();
    // Notes a key or mouse button press from the window for the next
    // `update`. The system's key repeats (a press of a key already held) are
    // not new presses; losing the focus forgets which keys are held. (Pads
    // come from the GamepadHub, through `latchPress`: the window's joystick
    // events number pads in another order.)
    void handleEvent(const sf::Event& event);
    // Notes a press of the code's button for the next `update`.
    void latchPress(int32_t code);
    // Whether the action fired at the last sampling.
    bool wasPressed(const std::string& name) const;
    // In -1 .. 1, read from the devices now (or the value of the last
    // sampling while `sampleAxesPerFrame`).
    float getAxis(const std::string& name) const;

    // Replaces where device state comes from; empty restores SFML's real-time state.
    void setBackend(std::shared_ptr<InputBackend> backend);
    // Where device state comes from now (never empty); a decorator wraps it.
    std::shared_ptr<InputBackend> getBackend() const { return backend; }
    // Whether the code's button is down now (a key the last page took reads
    // as up until it is let go, see `setPageOpen`).
    bool isCodeDown(int32_t code) const;

    // The named action or axis as the devices give it now, also while the
    // backend plays actions: the very reading `update` and `getAxis` make of
    // live input, for a reader that samples this machine's own player beside
    // a backend that plays everyone's (online play). False or 0 for a name
    // not registered.
    //
    // Whether one of the action's codes is down.
    bool isActionDownOnDevices(const std::string& name) const;
    // Whether one of the action's codes was pressed since the last sampling.
    bool wasActionTappedOnDevices(const std::string& name) const;
    // Keys, pad buttons and sticks (through their dead zone) summed, in -1 .. 1.
    float readAxisOnDevices(const std::string& name) const;

    // Whether the game's window has the keyboard and the mouse. Set from the
    // window's focus events (`handleEvent` takes them too); passed on to the
    // backend, whose real keys and mouse read as released while it is false,
    // and every backend installed later gets it.
    void setWindowFocused(bool focused);
    bool isWindowFocused() const { return windowFocused; }

    // Whether a page over the match (a pause) has the keys, set by the frame
    // loop before each sampling. The actions are sampled as ever meanwhile,
    // so a key held since before the page is still held when it closes, and
    // fires no new press. A key that went down while the page was open was
    // the page's: from its close that key reads as up until it is let go,
    // and a press the page took is no tap for the match.
    void setPageOpen(bool open);
    bool isPageOpen() const { return pageOpen; }

    // What the match read of the input at the last sampling and what the
    // next sampling starts from: each action's and axis's sampled state (in
    // name order), the presses latched since, the page's keys, and the keys
    // a computer player holds on the virtual keyboard. Put back by a restore
    // of a match snapshot; a frame played again from captured input puts
    // back the state its first playing sampled instead of sampling anew.
    struct SampledState {
        struct Action {
            bool fired = false;
            bool down = false;
            bool tapped = false;
        };
        std::vector<Action> actions;
        std::vector<float> axes;
        std::set<int32_t> latchedPresses;
        std::set<int32_t> heldSincePageOpened;
        std::set<int32_t> pagePresses;
        std::set<int32_t> takenByPage;
        bool pageOpen = false;
        std::vector<int32_t> virtualKeys;
    };
    void saveSampled(SampledState& into) const;
    // Bindings added since the save keep their state.
    void restoreSampled(const SampledState& saved);
    // In place of `update`, for a frame played again: the actions and axes
    // as its first playing sampled them (no callbacks run), latches spent.
    void replaySampling(const SampledState& sampled);

    // Every action up and untapped, every sampled axis at rest: as the first
    // frame of a run found them (a replay played again from its start). The
    // bindings stay.
    void releaseAll();

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
    float readDeviceAxis(const AxisInputConfig& axis) const;
    bool isDown(const InputEventConfig& action) const;
    bool wasTapped(const InputEventConfig& action) const;
    // Whether the device says the code's button is down, whatever page took it.
    bool isDeviceDown(int32_t code) const;
    // Every code some action or axis is bound to.
    std::set<int32_t> boundCodes() const;
    // Drops the codes whose buttons are up now.
    void forgetReleased(std::set<int32_t>& codes) const;

    std::shared_ptr<InputBackend> backend;
    // Codes pressed since the last sampling, from the window's events.
    std::set<int32_t> latchedPresses;
    // Codes the window's events say are held, to tell repeats from presses.
    std::set<int32_t> heldByEvents;
    bool windowFocused = true;
    bool pageOpen = false;
    // While a page is open: the codes held since before it opened.
    std::set<int32_t> heldSincePageOpened;
    // Codes pressed since the last sampling while a page was open.
    std::set<int32_t> pagePresses;
    // Codes the last page took and that are still held: up for the match.
    std::set<int32_t> takenByPage;
};
