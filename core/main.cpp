#include "game/VorluneGame.hpp"

// Opens the 1920 x 1080 "Vorlune" window and plays until it is closed.
// Exits 1 when the window or its textures could not be created.
int main() {
    VorluneGame game;
    return game.run() ? 0 : 1;
}
