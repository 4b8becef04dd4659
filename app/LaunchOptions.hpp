#pragma once

#include <string>

// What the command line asks of a run. Every option is off by default, which
// is a normal interactive run.
struct LaunchOptions {
    // Frames back to back, each with a frame delta of exactly one fixed step,
    // instead of waiting for the clock.
    bool fast = false;
    // Runs the simulation without drawing; the frame loop's arithmetic is
    // unchanged, only the drawing itself is skipped.
    bool noDraw = false;
    // Writes every frame's delta and sampled input here (empty: no recording).
    std::string recordPath;
    // Plays this recording back in place of the devices (empty: live input).
    std::string replayPath;
    // Player 2 is played by the computer (--player2 computer).
    bool player2Computer = false;
    // The computer plays both players, from the menu through one whole match
    // to the victory screen and back, then the program ends.
    bool demo = false;
    // The demo saves its screenshots and figures into this folder (empty: none).
    std::string shotsPath;
    // Frames of a soak (0: none): the computer plays both players match after
    // match, the run checks that nothing grows or breaks from one match to the
    // next, prints its counts each minute of game time, and ends.
    int soakFrames = 0;
    // Ends the run normally after this many frames (0: no limit), so that a
    // scripted start of the game is bounded whatever it meets.
    unsigned long frameLimit = 0;
    // The folder of the settings file (empty: the user's configuration folder,
    // $XDG_CONFIG_HOME/vorlune or ~/.config/vorlune).
    std::string configPath;
    // The arena the match is played on (--arena NAME), for this run only:
    // the game knows the names (empty: the one chosen last).
    std::string arena;
};

// The one usage line, for the program's name.
std::string launchUsage(const std::string& program);

// Reads the options after the program name: --fast, --no-draw, --record FILE,
// --replay FILE, --player2 person|computer, --demo, --shots DIR (with --demo), --soak FRAMES
// (a whole number from 1 to 100000000, not with --demo), --frames N (N >= 1), --config DIR, --arena NAME.
// False on an unknown option, a missing file argument or an option given twice, with `problem` naming it;
// `options` is then unchanged.
bool parseLaunchOptions(int argc, const char* const* argv, LaunchOptions& options, std::string& problem);

// parseLaunchOptions for a whole command line (argv[0] is the program): on a
// bad command line prints the one line (the problem and the usage) and
// returns false.
bool readCommandLine(int argc, const char* const* argv, LaunchOptions& options);
