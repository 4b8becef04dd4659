#pragma once

#include "core/GameState.hpp"

// "Arena": the two-player match. Every entry builds a fresh physics world and
// a new instance of the "magicmap" map, and gives its "Player1" and "Player2"
// objects their player controllers. Escape opens and closes the pause pages
// over the running match (the match keeps running underneath).
//
// The pause pages ("pause", "pauseControls") are loaded and wired once, by
// the constructor, into the GuiManager.
class ArenaState : public GameState {
public:
    ArenaState();

    void enter() override;
    void update(float delta, float time) override;
    void draw(float, float, sf::RenderTarget&) override {}
    void exit() override {}

    // The SoundManager's soundVolume, copied on every entry (0..1); button
    // sounds play at effectsVolume x 50.
    float effectsVolume = 0.0f;

private:
    void connectButtons();
};
