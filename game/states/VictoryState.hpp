#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "game/states/ButtonPagesState.hpp"
#include "game/states/OnlineMenuActions.hpp"

// "Victory": the screen after a match. The victory map's single player object
// becomes the winner's wizard, driven by the winner's own keys and without a
// limit of lives, under the "Player1won" or "Player2won" picture. "Continue"
// returns to the menu; "Rematch" starts a new match at once, with the same
// players and rules (the arena reads the shared player setup). The page is
// loaded and wired once, by the constructor.
//
// After an online match both buttons go through the game's online play
// (`online`): "Rematch" asks the other side, and the host starts the new
// match once both asked; "Continue" tells the other side this one leaves.
//
// "Watch" ("Watch the replay") is shown only while the game has a recording
// of the match just ended (`replayAvailable`); it asks the game to play it
// (`watchReplay`) at the end of the frame.
class VictoryState : public ButtonPagesState {
public:
    // `online` may be empty (a game without online play).
    explicit VictoryState(std::shared_ptr<const OnlineMenuActions> online = nullptr);

    void enter() override;
    void update(float, float) override {}

    // The number (1 or 2) of the player who won the last match; written by
    // the game's game-over listener before it switches here. Any number
    // other than 1 shows player 2's picture.
    int32_t winner = 1;
    // Asked at every entry; either may be empty (nothing to watch).
    std::function<bool()> replayAvailable;
    std::function<void()> watchReplay;

private:
    std::shared_ptr<const OnlineMenuActions> online;
};
