#include "game/states/MainMenuState.hpp"

#include "game/GameScenario.hpp"
#include "widgets/Slider.hpp"

namespace {
using MainMenu = GameScenario;
} // namespace

TEST_F(MainMenu, EveryPageOpensAndClosesByButtonAndEscape) {
    start();
    frames(2);
    EXPECT_EQ(state(), "Menu");
    EXPECT_EQ(shownPages(), "menu");
    screenshot("menu");

    // The options open on the controls page; every tab keeps the tab bar.
    click("menu", "MenuOptions");
    EXPECT_EQ(shownPages(), "mControls options");
    for (const auto& [tab, page] : {std::pair{"Sound", "sound"},
                                    {"Gameplay", "mGameplay"},
                                    {"Gameplay2", "mGameplay2"},
                                    {"Controls", "mControls"}}) {
        click("options", tab);
        EXPECT_EQ(shownPages(), std::string(page) < "options" ? std::string(page) + " options"
                                                              : "options " + std::string(page));
    }
    click("options", "Sound");
    screenshot("menu-options-audio");
    click("options", "BackPause");
    EXPECT_EQ(shownPages(), "menu");

    // Escape leaves the controls, audio and gameplay pages for the main page...
    for (const char* tab : {"Controls", "Sound", "Gameplay"}) {
        click("menu", "MenuOptions");
        click("options", tab);
        tap(sf::Keyboard::Escape);
        EXPECT_EQ(shownPages(), "menu") << tab;
    }
    // ...but not the advanced gameplay page, and it does nothing on the main page.
    click("menu", "MenuOptions");
    click("options", "Gameplay2");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "mGameplay2 options");
    click("options", "BackPause");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");

    click("menu", "Credits");
    EXPECT_EQ(shownPages(), "credits");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");
    click("menu", "Credits");
    click("credits", "BackMenu");
    EXPECT_EQ(shownPages(), "menu");
    EXPECT_EQ(state(), "Menu");

    // Quit closes the window at the end of the frame.
    click("menu", "EndGame");
    EXPECT_TRUE(game.window.isOpen());
    EXPECT_EQ(shownPages(), "");
    frames(1);
    EXPECT_FALSE(game.window.isOpen());
}

TEST_F(MainMenu, AudioSlidersSetTheVolumesAtOnce) {
    start();
    auto& sounds = SoundManager::instance();
    EXPECT_EQ(sounds.soundVolume, 0.5f);
    EXPECT_EQ(sounds.musicVolume, 0.5f);
    // Past the music's fade-in, so that only the slider moves the tracks.
    frames(130);

    // The hover sound plays at the start-up effects volume (0.5 x 50).
    float volume = -1.0f;
    hover("menu", "MenuOptions");
    EXPECT_GE(playing("hover", &volume), 1);
    EXPECT_FLOAT_EQ(volume, 25.0f);

    click("menu", "MenuOptions");
    click("options", "Sound");
    auto& gui = GuiManager::instance();
    const auto master = gui.getWidget<widgets::Slider>("sound", "MasterVolume");
    const auto music = gui.getWidget<widgets::Slider>("sound", "MusicVolume");
    const auto effects = gui.getWidget<widgets::Slider>("sound", "GameSounds");
    ASSERT_TRUE(master && music && effects);

    // Drag master to the middle of its track with the mouse, sounds to the end.
    const sf::FloatRect track = master->getAbsoluteRect();
    const int y = static_cast<int>(track.top + track.height / 2);
    gui.handleEvent(mouse::moved(static_cast<int>(track.left + track.width / 2), y));
    gui.handleEvent(mouse::pressed(static_cast<int>(track.left + track.width / 2), y));
    gui.handleEvent(mouse::released(static_cast<int>(track.left + track.width / 2), y));
    EXPECT_NEAR(master->getValue(), 50.0f, 1.0f);
    master->setValue(50.0f);
    effects->setValue(100.0f);
    music->setValue(20.0f);
    frames(1);
    EXPECT_FLOAT_EQ(sounds.soundVolume, 0.5f);
    EXPECT_FLOAT_EQ(sounds.musicVolume, 0.1f);
    if (game.musicTrack) {
        EXPECT_FLOAT_EQ(game.musicTrack->getVolume(), 30.0f * 0.1f);
        EXPECT_FLOAT_EQ(game.ambientTrack->getVolume(), 30.0f * 0.1f);
    }
    // Master 50 x game sounds 100: buttons click at 25.
    effects->setValue(100.0f);
    master->setValue(50.0f);
    frames(1);
    click("options", "Controls");
    // The newest click is the last one playing.
    EXPECT_GE(playing("click", &volume), 1);
    EXPECT_FLOAT_EQ(volume, 25.0f);

    // With the audio page closed the sliders are not read.
    music->setValue(100.0f);
    effects->setValue(0.0f);
    frames(1);
    EXPECT_FLOAT_EQ(sounds.musicVolume, 0.1f);
    EXPECT_FLOAT_EQ(sounds.soundVolume, 0.5f);
}
