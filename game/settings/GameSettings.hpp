#pragma once

#include <filesystem>
#include <map>
#include <string>

#include <SFML/System/Vector2.hpp>

#include "core/settings/SettingsFile.hpp"
#include "game/InputBindings.hpp"
#include "game/PlayerSetup.hpp"

class Game;
class InputManager;

// The game's settings kept between runs, in "settings.txt" of the settings
// folder (see settingsFolder):
//
//   volume.master = 100        the audio page's sliders, 0 .. 100
//   volume.music = 50
//   volume.effects = 50
//   player2 = person           or computer
//   player2.keys = numpad      player 2's keyboard layout: numpad or laptop
//   lives = 3                  lives per match: 1 .. 9 or unlimited
//   window.size = 1600x900     the window's size out of fullscreen
//   window.fullscreen = no     or yes
//   arena = isles              the arena page's choice: isles, spires, crossing or random
//   rumble = on                pads rumble when their player is hit: on or off
//   binding.Player2 Jump = Numpad0, pad2.south, pad2.button0
//                              a button action's keys and pad buttons by name
//   binding.Player2 Horizontal = Left:-1, Right:1, pad2.leftx
//                              an axis's keys with their values, then its pads' sticks
//
// Words are read whatever their case and the spaces around them ("Computer",
// "YES", "1600 x 900", "80%"); the switches also take on/off and true/false.
// Bindings whose codes are numbers (as older files wrote them) are read and
// written again by name. A value that cannot be read is reported in one line
// naming the file and the key, and its default is used. Keys the game does
// not know are kept.
//
// The game reads the settings once at start (`load`, then the apply calls),
// follows what the menus change every frame (`follow`) and writes the file
// shortly after a change (`saveWhenDue`) and at exit (`saveAtExit`).
class GameSettings {
public:
    static constexpr const char* fileName = "settings.txt";
    // A change is written after this many seconds without another one, so
    // that a slider being dragged is not written on every frame.
    static constexpr float saveDelay = 0.5f;
    // A kept window size below this is damage, not a choice.
    static constexpr unsigned smallestWindow = 320;

    // Reads `folder`/settings.txt; an empty folder keeps the settings for
    // this run only (nothing is read or written).
    void load(const std::filesystem::path& folder);

    // Player 2's keyboard layout, for registering the bindings.
    Player2Keys player2Keys() const;
    // Whether pads rumble ("rumble = on", the default, or "off").
    bool rumble() const;
    // Who plays player 2, the lives per match and the arena.
    void applyTo(PlayerSetup& setup);
    // Replaces the bindings of every action and axis named by a "binding." key.
    void applyBindings(InputManager& input);
    // Sets the audio page's sliders (when the page has them) and the
    // SoundManager's volumes from the volume keys. Without them nothing changes.
    void applyVolumes();

    // Gives the window the kept size (one that fits the desktop and is at
    // least `smallestWindow`) and mode.
    void applyWindow(Game& game);
    // Notes the window's mode and size when they changed since the last call.
    void followWindow(const Game& game);

    // Notes what changed since the last call: the audio sliders, player 2,
    // the lives and the arena in `setup`, and the pads' rumble. The first call only takes note, so that a
    // choice from the command line is not kept as a setting.
    void follow(const PlayerSetup& setup);
    // Writes `binding.<name>` from the action's or axis's current bindings in `input`.
    void storeBinding(const InputManager& input, const std::string& name);
    void setPlayer2Keys(Player2Keys keys);
    // Writes the file when something changed and `saveDelay` seconds passed.
    void saveWhenDue(float delta);
    // Notes the last changes and writes the whole set of settings now (a
    // folder that cannot be written is reported then, once).
    void saveAtExit(const PlayerSetup& setup, const Game& game);

    SettingsFile& getFile() { return file; }

private:
    // The key's value read as a whole number in min .. max (spaces aside, and
    // a "%" after it when `percent`); `fallback`, with one line, for anything else.
    int readNumber(const std::string& key, int min, int max, int fallback, bool percent = false);
    void reportBadValue(const std::string& key, const std::string& expected);

    SettingsFile file;
    bool followed = false;
    // What `follow` saw last: slider values by key, player 2, the lives.
    std::map<std::string, std::string> lastVolumes;
    bool lastComputer2 = false;
    int lastLives = PlayerSetup::defaultLives;
    // The window as `applyWindow` or `followWindow` saw it last.
    sf::Vector2u lastWindowSize;
    bool lastFullscreen = false;
    bool windowSeen = false;
    std::string lastArena;
    bool lastRumble = true;
    float sinceChange = 0.0f;
};
