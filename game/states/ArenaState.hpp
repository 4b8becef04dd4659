#pragma once

#include "game/states/ButtonPagesState.hpp"

// "Arena": the two-player match. Every entry builds a fresh physics world and
// a new instance of the "magicmap" map, and gives its "Player1" and "Player2"
// objects their player controllers. Escape opens and closes the pause pages
// over the running match (the match keeps running underneath).
//
// The pause pages ("pause", "pauseControls") are loaded and wired once, by
// the constructor, into the GuiManager.
class ArenaState : public ButtonPagesState {
public:
    ArenaState();

    void enter() override;
    void update(float delta, float time) override;

private:
    void connectButtons();
};
