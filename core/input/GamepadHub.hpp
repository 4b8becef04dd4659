#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "core/input/PadButton.hpp"
#include "core/input/PadOwnership.hpp"

struct _SDL_GameController;
struct _SDL_Joystick;

// Something the pads did since the last `poll`, for the frame loop to pass on.
struct PadHappening {
    enum class Kind {
        // A button went down on a slot's pad: `code` is its input code (see
        // InputManager), so that a press let go before the next sampling still acts.
        pressed,
        // A pad took a free slot (`name`: the pad's).
        claimed,
        // A slot's pad was unplugged; the slot waits for it.
        lost,
        // A slot's lost pad came back (`name`: the pad's).
        returned,
        // Menus: a pad's d-pad, left stick, bottom or right button, as the
        // keyboard key that does the same in a menu (`key`: Up, Down, Left,
        // Right, Enter, Escape), from any pad, owned or not.
        menuKey,
    };
    Kind kind = Kind::pressed;
    int slot = -1;
    int32_t code = -1;
    sf::Keyboard::Key key = sf::Keyboard::Unknown;
    std::string name;
};

// The game pads, through SDL's game-controller layer (SDL is started for
// pads only; the window, keyboard, mouse and sound stay SFML's). Pads SDL
// knows (from its own table, the user's mapping file, or SDL_GAMECONTROLLERCONFIG)
// are read by their standard buttons and axes; pads it cannot map keep their
// raw buttons and axes (SFML's numbering).
//
// Pads are plugged in and out at any time. Which pad plays which player is
// the PadOwnership's: every query here takes a slot (0 for player 1), never
// SDL's device order, so pads never swap players.
//
// Without a `start`, or when SDL could not start, there are no pads: every
// query reads nothing. Main thread only.
class GamepadHub {
public:
    static constexpr int slotCount = 2;
    // Held directions in menus repeat after this delay, at this interval (seconds).
    static constexpr float menuRepeatDelay = 0.4f;
    static constexpr float menuRepeatInterval = 0.12f;
    // A stick reads as a menu direction beyond this deflection.
    static constexpr float menuStickPoint = 0.5f;

    static GamepadHub& instance();
    ~GamepadHub();
    // Closes every pad and stops SDL's pads; the next `start` begins afresh.
    void reset();

    // Starts SDL's game-controller layer and reads the mapping file when
    // there is one: SDL's mapping lines, one a line ("#" starts a comment);
    // a line for another platform is skipped, a line without one is for
    // this machine, and a line SDL refuses is reported in one line naming
    // the file and the line. False, reported in one line, when SDL cannot
    // start (the game then plays without pads).
    bool start(const std::filesystem::path& mappingFile = {});
    bool isStarted() const { return started; }

    // Takes in what the pads did since the last call, `delta` seconds ago (for
    // the menus' repeat), and says it.
    std::vector<PadHappening> poll(float delta);

    // The slot's pad is plugged in (and not lost).
    bool isConnected(int slot) const;
    // Whether SDL maps the slot's pad to the standard buttons.
    bool isMapped(int slot) const;
    bool isButtonDown(int slot, PadButton button) const;
    // Sticks in -1 .. 1, triggers in 0 .. 1, raw (no dead zone).
    float axisPosition(int slot, PadAxis axis) const;
    // An unmapped pad's raw buttons and axes (a mapped pad has none: its
    // standard names are its buttons). Axis positions in SFML's -100 .. 100.
    bool isRawButtonDown(int slot, unsigned int button) const;
    bool hasRawAxis(int slot, sf::Joystick::Axis axis) const;
    float rawAxisPosition(int slot, sf::Joystick::Axis axis) const;

    // The slot's pad's name ("" for none), present or lost.
    std::string padName(int slot) const;
    bool isLost(int slot) const { return ownership.isLost(slot); }
    const PadOwnership& getOwnership() const { return ownership; }
    void setClaimable(int slot, bool claimable) { ownership.setClaimable(slot, claimable); }
    // The two players exchange pads.
    void swap(int first, int second) { ownership.swap(first, second); }
    // The players whose pads are lost go on without them (see PadOwnership).
    std::vector<int> releaseLost() { return ownership.releaseLost(); }
    // A short pulse on the slot's pad, where it can rumble: `strength` 0 .. 1
    // for `seconds`. False when it cannot (no pad, no motor).
    bool rumble(int slot, float strength, float seconds);

private:
    GamepadHub() = default;
    struct Pad {
        _SDL_GameController* controller = nullptr;
        _SDL_Joystick* joystick = nullptr;
        PadIdentity identity;
        // Which triggers were past their press point, to see them go down.
        bool triggerDown[2] = {false, false};
        // The menu direction held now, and how long until it repeats.
        sf::Keyboard::Key menuDirection = sf::Keyboard::Unknown;
        float menuRepeatIn = 0.0f;
        bool dpadHeld[4] = {false, false, false, false};
    };
    void readMappings(const std::filesystem::path& file);
    void open(int deviceIndex, std::vector<PadHappening>& said);
    void close(int instance, std::vector<PadHappening>& said);
    // A button went down on the pad (a standard one, or with PadButton::count
    // the raw `rawButton`): it claims a slot if it has none, and the press is
    // said for the slot.
    void press(int instance, Pad& pad, PadButton button, unsigned int rawButton,
               std::vector<PadHappening>& said);
    void followMenuDirection(Pad& pad, float delta, std::vector<PadHappening>& said);
    const Pad* padOf(int slot) const;

    bool started = false;
    // Opened pads by SDL's instance id.
    std::map<int, Pad> pads;
    PadOwnership ownership{slotCount};
};
