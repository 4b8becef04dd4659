#include "game/VorluneGame.hpp"

int main() {
    VorluneGame game;
    return game.run() ? 0 : 1;
}
