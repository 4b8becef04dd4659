#pragma once

#include <string>

#include "game/demo/DemoFigures.hpp"

class Game;

// The demo: from the title menu through the arena page (pressing the button
// it is given) and one whole computer-against-computer match to the victory
// screen and back to the menu, then the program ends.
// It presses the menu's buttons as the mouse would (events at the buttons'
// centres, handed to the GUI through the game's frame), so it goes the way a
// person goes, and a recording of it replays without the demo.
//
// With a shots folder it saves screenshots at fixed moments ("menu",
// "match-start", "mid-fight", "cut" at the first beard cut, "victory") and,
// at the end, the figures file "figures.txt" (also printed). Runs on frame
// counts, so in fast mode it takes the same frames as at normal speed.
class DemoRun {
public:
    // `game` is observed and outlives the demo; `shotsFolder` may be empty;
    // `arenaButton` is the arena page's button to press ("Arena1", ...).
    DemoRun(Game& game, std::string shotsFolder, std::string arenaButton = "Arena1");

    // Once per frame, from the game's update hook, after the scene's update.
    void frame(float delta);

    // The match did not end within `matchFrameLimit` frames (reported in one line).
    bool failed() const { return failedRun; }
    bool finished() const { return phase == Phase::Done; }

    // Frames a match may last before the demo gives up (15 minutes of play).
    int matchFrameLimit = 60 * 60 * 15;

private:
    enum class Phase { Menu, Match, Victory, BackInMenu, Done };

    void clickButton(const std::string& page, const std::string& button);
    void shot(const std::string& name);
    void end(bool failed);
    bool beardWasCut() const;

    Game& game;
    std::string folder;
    std::string arenaButton;
    Phase phase = Phase::Menu;
    int phaseFrames = 0;
    bool cutShot = false;
    bool failedRun = false;
    DemoFigures figures;
};
