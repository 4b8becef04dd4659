#pragma once

#include <functional>
#include <memory>

#include "game/PlayerSetup.hpp"
#include "game/states/ButtonPagesState.hpp"
#include "game/states/PadLostPause.hpp"

// "Arena": the two-player match. Every entry builds a fresh physics world and
// a new instance of the map of the setup's `matchArena` (Arenas.hpp), and gives its "Player1" and "Player2"
// objects their player controllers; a player the setup gives to the
// computer also gets a BotComponent, which plays it through its keys.
// Escape opens and closes the pause pages.
//
// In a match played here (two people, or one against the computer) the
// pause pages hold the whole match still until they close, and so does a
// player's pad unplugged, until the pad is back or the players go on with the
// keyboard (see PadLostPause). An online match cannot be held by one side:
// its pages are drawn over the running match, and the pause page says so.
// Either way the keys work the page only while one is shown.
//
// The pause pages ("pause", "pauseControls", "padLost") are loaded and wired
// once, by the constructor, into the GuiManager.
class ArenaState : public ButtonPagesState {
public:
    // `setup` is shared with the game and the menu and read at every entry.
    explicit ArenaState(std::shared_ptr<const PlayerSetup> setup = std::make_shared<PlayerSetup>());

    void enter() override;
    void update(float delta, float time) override;
    bool holdsWorld() const override;
    bool pageHasKeys() const override;
    // The pause pages and the pads waited for: they hold a local match still.
    void snapshotState(StateIo& io) override;

    // Called at every entry before the match is built, its world and players
    // included (the game starts the match's recording there); may be empty.
    std::function<void()> beforeMatch;

private:
    void connectButtons();
    bool online() const { return players && players->online; }

    std::shared_ptr<const PlayerSetup> players;
    PadLostPause padLost{effectsVolume};
};
