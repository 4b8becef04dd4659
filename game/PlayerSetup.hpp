#pragma once

#include <string>

// Who plays each of the two players (a person at the keyboard or pad, or the
// computer) and the rules of the next match. Shared by the game, the menu
// (which switches player 2 and sets the lives) and the arena (which gives a
// computer player its BotComponent and every player its lives when a match
// starts).
struct PlayerSetup {
    // `livesPerMatch` for a match without a limit of lives.
    static constexpr int unlimitedLives = 0;
    static constexpr int fewestLives = 1;
    static constexpr int mostLives = 9;
    static constexpr int defaultLives = 3;

    // Players 1 and 2; any other number is always a person.
    bool isComputer(int playerNumber) const {
        return playerNumber == 1 ? computer1 : playerNumber == 2 ? computer2 : false;
    }
    void setComputer(int playerNumber, bool value) { (playerNumber == 1 ? computer1 : computer2) = value; }

    bool computer1 = false;
    bool computer2 = false;
    // Lives of each player in a match: fewestLives .. mostLives, or unlimitedLives.
    int livesPerMatch = defaultLives;
    // The arena page's choice: an arena's key or "random" (see Arenas.hpp).
    std::string arenaChoice = "isles";
    // The arena the match is played on: the choice, or the arena it drew,
    // fixed when a match is started from the menu, so a rematch or a restart
    // plays on the same one.
    std::string matchArena = "isles";
    // The match is played online (or replayed from an online recording): the
    // other game runs on whatever this one shows, so no page here holds it.
    bool online = false;
};
