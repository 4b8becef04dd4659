#pragma once

#include "core/EventManager.hpp"

// A player's pad was unplugged (`connected` false) or came back: sent by the
// frame loop, live from the GamepadHub or from a replay's recording, so that
// what the game does about it (a match pauses) plays back alike.
class PadChangeEvent : public GameEvent {
public:
    // The player slot (0 for player 1).
    int slot = 0;
    bool connected = false;
};
