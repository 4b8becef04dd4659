#pragma once

#include <memory>

#include "game/PlayerSetup.hpp"
#include "game/states/ButtonPagesState.hpp"
#include "game/states/PadLostPause.hpp"

// "Arena": the two-player match. Every entry builds a fresh physics world and
// a new instance of the map of the setup's `matchArena` (Arenas.hpp), and gives its "Player1" and "Player2"
// objects their player controllers; a player the setup gives to the
// computer also gets a BotComponent, which plays it through its keys. Escape opens and closes the pause pages
// over the running match (the match keeps running underneath).
//
// A player's pad unplugged in a match pauses it for real (the world is held
// still) until the pad is back or the players go on with the keyboard (see
// PadLostPause).
//
// The pause pages ("pause", "pauseControls", "padLost") are loaded and wired
// once, by the constructor, into the GuiManager.
class ArenaState : public ButtonPagesState {
public:
    // `setup` is shared with the game and the menu and read at every entry.
    explicit ArenaState(std::shared_ptr<const PlayerSetup> setup = std::make_shared<PlayerSetup>());

    void enter() override;
    void update(float delta, float time) override;
    bool holdsWorld() const override { return padLost.isWaiting(); }

private:
    void connectButtons();

    std::shared_ptr<const PlayerSetup> players;
    PadLostPause padLost{effectsVolume};
};
