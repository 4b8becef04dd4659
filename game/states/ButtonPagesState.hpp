#pragma once

#include <string>

#include "core/GameState.hpp"

// A state whose screens are GUI pages with buttons that sound (hover, click)
// at the state's effects volume. The pages are drawn by the GUI, so the state
// itself draws nothing, and leaving it needs nothing undone.
class ButtonPagesState : public GameState {
public:
    using GameState::GameState;

    void draw(float, float, sf::RenderTarget&) override {}
    void exit() override {}

    // The SoundManager's soundVolume (0..1), copied on every entry; button
    // sounds play at effectsVolume x 50.
    float effectsVolume = 0.0f;
};
