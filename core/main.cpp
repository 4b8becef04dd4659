#include "game/VorluneGame.hpp"

// Opens the 1920 x 1080 "Vorlune" window and plays until it is closed; the
// command line may ask for a computer player, a demo, fast or undrawn runs,
// a recording or a replay (see LaunchOptions). Exit codes: 0 after a normal
// run, 1 when the window could not be created, 2 for a bad command line or an
// unusable replay or recording file, 3 when the demo's match did not end.
int main(int argc, char** argv) {
    VorluneGame game;
    const int code = game.runFromCommandLine(argc, argv);
    return code == 0 && game.demoFailed() ? 3 : code;
}
