#pragma once

#include <string>

// The names the arena game builds from a player's number (1 or 2), built
// here only, so that the bindings, the controllers, the arena and the
// computer players always agree on them.

// The input action or axis `action` of a player: playerActionName(1, "Jump")
// is "Player1 Jump". The game binds "Horizontal" and "Vertical" (axes),
// "Jump", "Beard" and "Magic" (buttons) for each player.
inline std::string playerActionName(int playerNumber, const std::string& action) {
    return "Player" + std::to_string(playerNumber) + " " + action;
}

// The map object that plays as the player: "Player1" or "Player2".
inline std::string playerObjectName(int playerNumber) {
    return "Player" + std::to_string(playerNumber);
}

// The other player of a two-player match: 2 for 1 and 1 for 2.
inline int rivalOf(int playerNumber) {
    return 3 - playerNumber;
}
