#pragma once

#include <cstdint>

#include "core/EventManager.hpp"

// The match is over; `winner` is the number (1 or 2) of the player who won.
// A player out of lives queues it; the game ends the match on it, and both
// players freeze.
class GameOverEvent : public GameEvent {
public:
    int32_t winner = 0;
};
