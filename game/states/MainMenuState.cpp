#include "game/states/MainMenuState.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "core/EventManager.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "core/input/InputManager.hpp"
#include "game/player/PadRumble.hpp"
#include "game/states/ButtonSounds.hpp"
#include "game/states/PadRows.hpp"
#include "widgets/Button.hpp"
#include "widgets/Label.hpp"
#include "widgets/Slider.hpp"

namespace {
const char* const audioSliders[] = {"GameSounds", "MusicVolume", "MasterVolume"};
// The lives slider's last step, past the most lives, is a match without a limit.
constexpr int unlimitedLivesStep = PlayerSetup::mostLives + 1;
} // namespace

MainMenuState::MainMenuState(std::shared_ptr<PlayerSetup> setup)
    : ButtonPagesState("Menu"), players(std::move(setup)) {
    auto& gui = GuiManager::instance();
    gui.loadGroup("menu", "..\\assets\\gui\\Menu.txt");
    gui.loadGroup("credits", "..\\assets\\gui\\Credits.txt");
    gui.loadGroup("mControls", "..\\assets\\gui\\Menu_Controls.txt");
    gui.loadGroup("sound", "..\\assets\\gui\\Menu_Audio.txt");
    gui.loadGroup("mGameplay", "..\\assets\\gui\\Menu_Gameplay.txt");
    gui.loadGroup("mGameplay2", "..\\assets\\gui\\Menu_Gameplay_Advanced.txt");
    gui.loadGroup("options", "..\\assets\\gui\\Menu_Options.txt");
    connectButtons();
    showPlayer2Mode();
    showLives();
    showRumble();
    if (gui.groups.count("sound")) {
        for (const char* slider : audioSliders) {
            if (!gui.getWidget<widgets::Slider>("sound", slider)) {
                reportProblem("Page sound (%s) has no slider %s; the audio page changes nothing",
                              gui.formOf("sound").c_str(), slider);
            }
        }
    }
}

void MainMenuState::connectButtons() {
    // The match is built at the end of the frame, after every event of the
    // frame has been handled, never from inside the GUI's event handling.
    connectButton("menu", "StartGame", effectsVolume, [this] {
        EventManager::instance().invokeLater([this] {
            playButtonSound("click", effectsVolume);
            GuiManager::instance().hideAll();
            StateManager::instance().setState("Arena");
        });
    });
    connectButton("menu", "EndGame", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        GuiManager::instance().hideAll();
        EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
    });

    // Buttons that only switch pages: hide every page, show these (the
    // keyboard's focus goes to the first control of the page shown last).
    struct PageButton {
        const char* page;
        const char* button;
        std::vector<std::string> shows;
    };
    const PageButton pageButtons[] = {
        {"menu", "MenuOptions", {"mControls", "options"}},
        {"menu", "Credits", {"credits"}},
        {"credits", "BackMenu", {"menu"}},
        {"options", "BackPause", {"menu"}},
        {"options", "Controls", {"mControls", "options"}},
        {"options", "Sound", {"options", "sound"}},
        {"options", "Gameplay", {"options", "mGameplay"}},
        {"options", "Gameplay2", {"options", "mGameplay2"}},
    };
    connectPadRows("mControls", effectsVolume);
    connectButton("mGameplay", "Rumble", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        padRumble::setEnabled(!padRumble::isEnabled());
        showRumble();
    });
    connectButton("mGameplay", "Player2Mode", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        players->setComputer(2, !players->isComputer(2));
        showPlayer2Mode();
    });
    for (const auto& entry : pageButtons) {
        connectButton(entry.page, entry.button, effectsVolume, [this, pages = entry.shows] {
            playButtonSound("click", effectsVolume);
            auto& gui = GuiManager::instance();
            gui.hideAll();
            for (const auto& page : pages) {
                gui.setVisible(page, true);
            }
        });
    }
}

void MainMenuState::enter() {
    // Entering from another state finds every page hidden already; a restart
    // from an options page must not leave that page over the title page.
    GuiManager::instance().hideAll();
    GuiManager::instance().setVisible("menu", true);
    effectsVolume = SoundManager::instance().soundVolume;
    showPlayer2Mode();
    showLives();
    showRumble();
}

void MainMenuState::showLives() {
    auto& gui = GuiManager::instance();
    const int lives = players->livesPerMatch;
    if (auto slider = gui.getWidget<widgets::Slider>("mGameplay", "Lives")) {
        slider->setValue(
            static_cast<float>(lives == PlayerSetup::unlimitedLives ? unlimitedLivesStep : lives));
    }
    if (auto label = gui.getWidget<widgets::Label>("mGameplay", "LivesValue")) {
        label->setText(lives == PlayerSetup::unlimitedLives ? "unlimited" : std::to_string(lives));
    }
}

void MainMenuState::applyLivesSlider() {
    auto& gui = GuiManager::instance();
    const auto slider =
        gui.isVisible("mGameplay") ? gui.getWidget<widgets::Slider>("mGameplay", "Lives") : nullptr;
    if (!slider) {
        return;
    }
    const int step = static_cast<int>(std::lround(slider->getValue()));
    const int lives = step >= unlimitedLivesStep
                          ? PlayerSetup::unlimitedLives
                          : std::clamp(step, PlayerSetup::fewestLives, PlayerSetup::mostLives);
    if (lives != players->livesPerMatch) {
        players->livesPerMatch = lives;
        showLives();
    }
}

void MainMenuState::showRumble() {
    if (auto button = GuiManager::instance().getWidget<widgets::Button>("mGameplay", "Rumble")) {
        button->setText(padRumble::isEnabled() ? "Rumble: on" : "Rumble: off");
    }
}

void MainMenuState::showPlayer2Mode() {
    if (auto button = GuiManager::instance().getWidget<widgets::Button>("mGameplay", "Player2Mode")) {
        button->setText(players->isComputer(2) ? "Player 2: computer" : "Player 2: person");
    }
}

void MainMenuState::update(float, float) {
    handleEscape();
    showPadRows("mControls");
    applyAudioSliders();
    applyLivesSlider();
}

void MainMenuState::handleEscape() {
    if (!InputManager::instance().wasPressed("ESC")) {
        return;
    }
    auto& gui = GuiManager::instance();
    if (gui.isVisible("credits")) {
        gui.toggleVisible("credits");
        gui.toggleVisible("menu");
    } else if (gui.isVisible("mControls") || gui.isVisible("sound") || gui.isVisible("mGameplay")) {
        for (const char* page : {"mControls", "options", "sound", "mGameplay"}) {
            gui.setVisible(page, false);
        }
        gui.toggleVisible("menu");
    }
}

void MainMenuState::applyAudioSliders() {
    auto& gui = GuiManager::instance();
    if (!gui.isVisible("sound")) {
        return;
    }
    const auto gameSounds = gui.getWidget<widgets::Slider>("sound", "GameSounds");
    const auto music = gui.getWidget<widgets::Slider>("sound", "MusicVolume");
    const auto master = gui.getWidget<widgets::Slider>("sound", "MasterVolume");
    // A page without its sliders was reported at start-up; the volumes stay.
    if (!gameSounds || !music || !master) {
        return;
    }
    const float masterFactor = master->getValue() / 100.0f;
    auto& sound = SoundManager::instance();
    effectsVolume = masterFactor * gameSounds->getValue() / 100.0f;
    sound.soundVolume = effectsVolume;
    sound.musicVolume = masterFactor * music->getValue() / 100.0f;
}
