#pragma once

#include "game/states/ButtonPagesState.hpp"

// "Menu": the title menu and its options pages (controls, audio, gameplay,
// advanced gameplay) and the credits. The pages are loaded and their buttons
// wired once, by the constructor. While the audio page is open its three
// sliders set the SoundManager's volumes (and this state's effects volume)
// every frame, so a slider is heard at once.
class MainMenuState : public ButtonPagesState {
public:
    MainMenuState();

    void enter() override;
    void update(float delta, float time) override;

private:
    void connectButtons();
    // Escape goes back from the credits and from the options pages.
    void handleEscape();
    void applyAudioSliders();
};
