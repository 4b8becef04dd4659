#pragma once

// Who plays each of the two players: a person at the keyboard or pad, or the
// computer. Shared by the game, the menu (which switches player 2) and the
// arena (which gives a computer player its BotComponent when a match starts).
struct PlayerSetup {
    // Players 1 and 2; any other number is always a person.
    bool isComputer(int playerNumber) const {
        return playerNumber == 1 ? computer1 : playerNumber == 2 ? computer2 : false;
    }
    void setComputer(int playerNumber, bool value) { (playerNumber == 1 ? computer1 : computer2) = value; }

    bool computer1 = false;
    bool computer2 = false;
};
