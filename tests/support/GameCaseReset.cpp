#include "common/CaseReset.hpp"

#include "game/GameReset.hpp"

void resetForNextCase() {
    resetGame();
}
