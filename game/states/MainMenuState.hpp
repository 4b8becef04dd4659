#pragma once

#include "core/GameState.hpp"

// "Menu": the title menu and its options pages (controls, audio, gameplay,
// advanced gameplay) and the credits. The pages are loaded and their buttons
// wired once, by the constructor. While the audio page is open its three
// sliders set the SoundManager's volumes every frame, so a slider is heard
// at once.
class MainMenuState : public GameState {
public:
    MainMenuState();

    void enter() override;
    void update(float delta, float time) override;
    void draw(float, float, sf::RenderTarget&) override {}
    void exit() override {}

    // The SoundManager's soundVolume (0..1), copied on every entry and
    // rewritten by the audio page; button sounds play at effectsVolume x 50.
    float effectsVolume = 0.0f;

private:
    void connectButtons();
    // Escape goes back from the credits and from the options pages.
    void handleEscape();
    void applyAudioSliders();
};
