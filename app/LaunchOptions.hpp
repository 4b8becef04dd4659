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
    // With a replay: stop at this frame of the recording's match (counted
    // from the match's start, 0 its first frame, as online checksums count
    // them), print the match's state there and end. Such a run is fast and
    // undrawn by itself.
    bool until = false;
    unsigned long untilFrame = 0;
    // Frames the sync test plays again after every frame (1 to 8; 0: no
    // sync test): see SyncTest.
    int syncTestDepth = 0;
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

    // Online play (see the game's OnlineMatch). Hosting: the address to take
    // guests on (empty: every interface) and the port (0: a free one); set
    // when `hosting`. Joining: the host's address and port, when `joining`.
    bool hosting = false;
    std::string hostAddress;
    unsigned short hostPort = 0;
    bool joining = false;
    std::string joinAddress;
    unsigned short joinPort = 0;
    // How this process's outgoing packets are shaped, as written after
    // --net-sim (read by the game; empty: not at all).
    std::string netSim;
    // Lives per player in a hosted match (0: the settings' own; 10: unlimited).
    int lives = 0;
    // The seed of a hosted match (0: the run's own, which is always the same).
    unsigned long matchSeed = 0;
    // Drawn frames per second at most (0: the game's own, 60).
    int drawRate = 0;
    // A test switch: moves one body a little after this frame of an online
    // match (0: never), so that the two games disagree.
    unsigned long nudgeFrame = 0;

    bool online() const { return hosting || joining; }
    // The arena the match is played on (--arena NAME), for this run only:
    // the game knows the names (empty: the one chosen last).
    std::string arena;
};

// The one usage line, for the program's name.
std::string launchUsage(const std::string& program);

// Reads the options after the program name: --fast, --no-draw, --record FILE,
// --replay FILE, --until F (0 or more, with --replay; not with --demo, --soak or --frames;
// sets `fast` and `noDraw`), --player2 person|computer, --demo, --shots DIR (with --demo), --soak FRAMES
// (a whole number from 1 to 100000000, not with --demo), --frames N (N >= 1), --config DIR, --arena NAME,
// --host [ADDRESS:]PORT, --join ADDRESS:PORT (one of the two, not with --replay or --soak),
// --net-sim SETTINGS, --lives N|unlimited and --seed N (with --host), --draw-rate FPS (1 .. 240),
// --nudge FRAME (online only), --sync-test N (1 .. 8, not online). False on an
// unknown option, a missing file argument or an option given twice, with `problem` naming it; `options` is
// then unchanged.
bool parseLaunchOptions(int argc, const char* const* argv, LaunchOptions& options, std::string& problem);

// parseLaunchOptions for a whole command line (argv[0] is the program): on a
// bad command line prints the one line (the problem and the usage) and
// returns false.
bool readCommandLine(int argc, const char* const* argv, LaunchOptions& options);
