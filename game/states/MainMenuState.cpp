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
#include "widgets/EditBox.hpp"
#include "widgets/Label.hpp"
#include "widgets/Slider.hpp"

namespace {
const char* const joiningPage = "mJoining";
const char* const audioSliders[] = {"GameSounds", "MusicVolume", "MasterVolume"};
// The lives slider's last step, past the most lives, is a match without a limit.
constexpr int unlimitedLivesStep = PlayerSetup::mostLives + 1;
} // namespace

MainMenuState::MainMenuState(std::shared_ptr<PlayerSetup> setup,
                             std::shared_ptr<const OnlineMenuActions> actions)
    : ButtonPagesState("Menu"), players(std::move(setup)), arenaPage(players, effectsVolume),
      online(std::move(actions)) {
    auto& gui = GuiManager::instance();
    gui.loadGroup("menu", "..\\assets\\gui\\Menu.txt");
    gui.loadGroup("credits", "..\\assets\\gui\\Credits.txt");
    gui.loadGroup("mControls", "..\\assets\\gui\\Menu_Controls.txt");
    gui.loadGroup("sound", "..\\assets\\gui\\Menu_Audio.txt");
    gui.loadGroup("mGameplay", "..\\assets\\gui\\Menu_Gameplay.txt");
    gui.loadGroup("mGameplay2", "..\\assets\\gui\\Menu_Gameplay_Advanced.txt");
    gui.loadGroup("options", "..\\assets\\gui\\Menu_Options.txt");
    gui.loadGroup("mOnline", "..\\assets\\gui\\Menu_Online.txt");
    gui.loadGroup(joiningPage, "..\\assets\\gui\\Menu_Joining.txt");
    connectButtons();
    if (gui.groups.count(ControlsPage::page)) {
        controls = std::make_unique<ControlsPage>(effectsVolume);
    }
    connectOnlineButtons();
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
    // Play leads to the arena page, whose buttons start the match.
    connectButton("menu", "StartGame", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        arenaPage.open();
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
        {"menu", "Online", {"mOnline"}},
        {"mOnline", "BackMenu", {"menu"}},
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

void MainMenuState::update(float delta, float) {
    if (controls) {
        controls->update(delta);
    }
    handleEscape();
    showPadRows("mControls");
    applyAudioSliders();
    applyLivesSlider();
    followJoin();
    if (GuiManager::instance().isVisible("mOnline")) {
        showOnlineStatus();
    }
}

namespace {
// A port from 0 to 65535 written as plain digits; false for anything else.
bool readPort(const std::string& text, uint16_t& port) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos ||
        std::stol(text) > 65535) {
        return false;
    }
    port = static_cast<uint16_t>(std::stol(text));
    return true;
}

std::string editBoxText(const char* name) {
    const auto box = GuiManager::instance().getWidget<widgets::EditBox>("mOnline", name);
    return box ? box->getText() : "";
}
} // namespace

void MainMenuState::connectOnlineButtons() {
    connectButton("mOnline", "Host", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        hostTypedPort();
    });
    connectButton("mOnline", "Join", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        joinTypedAddress();
    });
    // Enter in a box does what its button does.
    auto& gui = GuiManager::instance();
    if (const auto box = gui.getWidget<widgets::EditBox>("mOnline", "HostPort")) {
        box->onReturnKeyPress.connect([this](const std::string&) { hostTypedPort(); });
    }
    if (const auto box = gui.getWidget<widgets::EditBox>("mOnline", "JoinAddress")) {
        box->onReturnKeyPress.connect([this](const std::string&) { joinTypedAddress(); });
    }
    connectButton("mOnline", "Cancel", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        if (online && online->cancel) {
            online->cancel();
        }
        showOnlineStatus();
    });
    connectButton(joiningPage, "Cancel", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        cancelJoin();
    });
}

void MainMenuState::hostTypedPort() {
    uint16_t port = 0;
    if (!readPort(editBoxText("HostPort"), port)) {
        showOnlineStatus("The port is a number from 0 to 65535.");
    } else if (online && online->host) {
        online->host(port);
        showOnlineStatus();
    }
}

void MainMenuState::joinTypedAddress() {
    const std::string address = editBoxText("JoinAddress");
    const size_t colon = address.rfind(':');
    uint16_t port = 0;
    if (colon == std::string::npos || colon == 0 || !readPort(address.substr(colon + 1), port) || port == 0) {
        showOnlineStatus("Write the host's address and port, as 192.168.1.20:7777.");
    } else if (online && online->join) {
        online->join(address.substr(0, colon), port);
        showOnlineStatus();
        // The connecting line shows in the frame drawn next, not once the other side answers.
        followJoin();
    }
}

void MainMenuState::followJoin() {
    auto& gui = GuiManager::instance();
    const bool joining = online && online->joining && online->joining();
    if (joining) {
        if (!gui.isVisible(joiningPage)) {
            gui.hideAll();
            gui.setVisible(joiningPage, true);
        }
        if (const auto line = gui.getWidget<widgets::Label>(joiningPage, "Connecting")) {
            line->setText(online->status ? online->status() : "");
        }
    } else if (gui.isVisible(joiningPage)) {
        // The join ended without a match: the online page says why.
        gui.hideAll();
        gui.setVisible("mOnline", true);
        showOnlineStatus();
    }
}

void MainMenuState::cancelJoin() {
    // The connection attempt is dropped with the session; the page follows at once.
    if (online && online->cancel) {
        online->cancel();
    }
    followJoin();
}

void MainMenuState::showOnlineStatus(const std::string& problem) {
    const auto label = GuiManager::instance().getWidget<widgets::Label>("mOnline", "Status");
    if (!label) {
        return;
    }
    std::string line = problem;
    if (line.empty() && online && online->status) {
        line = online->status();
    }
    label->setText(line.empty() ? "Not connected" : line);
}

void MainMenuState::handleEscape() {
    // An Escape that cancelled the wait for a key does not also go back.
    if (!InputManager::instance().wasPressed("ESC") || (controls && controls->holdsEscape())) {
        return;
    }
    auto& gui = GuiManager::instance();
    if (arenaPage.handleEscape()) {
        return;
    }
    if (gui.isVisible(joiningPage)) {
        cancelJoin();
    } else if (gui.isVisible("credits")) {
        gui.toggleVisible("credits");
        gui.toggleVisible("menu");
    } else if (gui.isVisible("mOnline")) {
        gui.setVisible("mOnline", false);
        gui.setVisible("menu", true);
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
