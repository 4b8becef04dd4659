#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/SceneCounts.hpp"

class Game;

// A soak: the computer plays both players match after match (menu, match,
// victory screen, menu again, pressing the buttons as the demo does) for a
// given number of frames, then the program ends.
//
// It watches for what only shows over many matches: at the end of every
// frame, no game object or body may stand at a place that is not a number
// (a blow-up the game recovers from within the frame passes); at the same
// moment of every match the scene and the engine's registries must hold
// exactly what they held in the first match on the same arena (and at every
// return to the menu what they held at the first return), so nothing is left
// over from one match to the next. The matches go
// round the arenas in the arena page's order. Every minute of game time
// (3600 frames) it prints one line of counts and resident memory. The first
// problem is printed in one line and ends the run as failed.
//
// With a match cap, a match still running after that many frames is left the
// way a person leaves it (Escape, then the pause page's "Menu" button), so a
// short soak still goes through many matches, and through tearing a match
// down in the middle of the fight.
//
// Each match starts the RandomSource from a seed of its own (the first
// match's is the run's seed), so the computer players meet anew every time
// and a run still plays the same on every start.
class SoakRun {
public:
    // `game` is observed and outlives the soak; `frameBudget` > 0.
    SoakRun(Game& game, int frameBudget);

    // Once per frame, from the game's update hook, after the scene's update.
    void frame();

    bool failed() const { return !problem.empty(); }
    bool finished() const { return done; }
    // The first problem met, empty while there is none.
    const std::string& getProblem() const { return problem; }
    int matchesFinished() const { return matchesWon; }
    int matchesLeft() const { return matchesQuit; }
    // The counts at the same early frame of each match, and of each return to the menu.
    const std::vector<SceneCounts>& matchStarts() const { return atMatchStart; }
    const std::vector<SceneCounts>& menuVisits() const { return atMenu; }
    // The printed minute lines, in order.
    const std::vector<std::string>& minuteLines() const { return minutes; }

    // Frames a match may last before the soak calls it stuck (15 minutes of play).
    int matchFrameLimit = 60 * 60 * 15;
    // Frames after which a match is left through the pause page (0: never).
    int matchFrameCap = 0;
    static constexpr int framesPerMinute = 60 * 60;

private:
    enum class Phase { Menu, Match, Leaving, Victory };

    // Fails when a game object stands at a place that is not a number.
    void checkPlaces(int frame);
    void enter(Phase next);
    void press(const std::string& page, const std::string& button);
    // Holds Escape down on the computer's keyboard (true) or lets it go.
    void holdEscape(bool down);
    // The arena the coming (or current) match is on.
    std::string arenaOfMatch() const;
    // Takes the match's counts and compares them with its arena's first match.
    void compareMatchStart();
    // Compares with the first of `taken` (or keeps the first) under the name `moment`.
    void compare(std::vector<SceneCounts>& taken, const char* moment);
    void fail(const std::string& what);
    void end();

    Game& game;
    int budget;
    int frames = 0;
    int phaseFrames = 0;
    Phase phase = Phase::Menu;
    int matchesWon = 0;
    int matchesQuit = 0;
    uint32_t firstSeed;
    bool done = false;
    std::string problem;
    std::vector<SceneCounts> atMatchStart;
    // Arena -> the index in `atMatchStart` of its first match.
    std::map<std::string, size_t> firstMatchOn;
    std::vector<SceneCounts> atMenu;
    std::vector<std::string> minutes;
};
