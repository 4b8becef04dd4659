#include "game/settings/GameSettings.hpp"

#include <cmath>
#include <sstream>

#include "app/Game.hpp"
#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "core/Report.hpp"
#include "core/input/InputManager.hpp"
#include "core/replay/ReplayFormat.hpp"
#include "game/Arenas.hpp"
#include "game/player/PadRumble.hpp"
#include "widgets/Slider.hpp"

namespace {
const char* const bindingPrefix = "binding.";

// The audio page's sliders with their keys, in the order the volumes are computed.
struct VolumeSlider {
    const char* widget;
    const char* key;
};
const VolumeSlider volumeSliders[] = {
    {"MasterVolume", "volume.master"},
    {"MusicVolume", "volume.music"},
    {"GameSounds", "volume.effects"},
};
constexpr int fullVolume = 100;

std::shared_ptr<widgets::Slider> audioSlider(const char* name) {
    return GuiManager::instance().getWidget<widgets::Slider>("sound", name);
}

std::string livesText(int lives) {
    return lives == PlayerSetup::unlimitedLives ? "unlimited" : std::to_string(lives);
}

// Space-separated words of a binding value.
std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> found;
    for (std::string word; stream >> word;) {
        found.push_back(word);
    }
    return found;
}

// "1600x900 no": a window's size out of fullscreen, and whether it is fullscreen.
std::string windowState(sf::Vector2u size, bool fullscreen) {
    return std::to_string(size.x) + "x" + std::to_string(size.y) + (fullscreen ? " yes" : " no");
}

void setWindowKeys(SettingsFile& file, const std::string& state) {
    const auto space = state.find(' ');
    file.set("window.size", state.substr(0, space));
    file.set("window.fullscreen", state.substr(space + 1));
}
} // namespace

void GameSettings::load(const std::filesystem::path& folder) {
    file = SettingsFile(folder.empty() ? std::filesystem::path() : folder / fileName);
    file.load();
    followed = false;
    sinceChange = 0.0f;
}

void GameSettings::reportBadValue(const std::string& key, const std::string& expected) {
    reportProblem("Settings %s: %s '%s' is not %s; using the default", file.getPath().c_str(), key.c_str(),
                  file.get(key).c_str(), expected.c_str());
}

int GameSettings::readNumber(const std::string& key, int min, int max, int fallback) {
    if (!file.has(key)) {
        return fallback;
    }
    long long value = 0;
    if (!replayFormat::parseInteger(file.get(key), min, max, value)) {
        reportBadValue(key, "a whole number from " + std::to_string(min) + " to " + std::to_string(max));
        return fallback;
    }
    return static_cast<int>(value);
}

Player2Keys GameSettings::player2Keys() const {
    Player2Keys keys = Player2Keys::numberPad;
    if (file.has("player2.keys") && !player2KeysFromName(file.get("player2.keys"), keys)) {
        reportProblem("Settings %s: player2.keys '%s' is not numpad or laptop; using numpad",
                      file.getPath().c_str(), file.get("player2.keys").c_str());
    }
    return keys;
}

bool GameSettings::rumble() const {
    const std::string value = file.get("rumble", "on");
    if (value != "on" && value != "off") {
        reportProblem("Settings %s: rumble '%s' is not on or off; using on", file.getPath().c_str(),
                      value.c_str());
    }
    return value != "off";
}

void GameSettings::setPlayer2Keys(Player2Keys keys) {
    file.set("player2.keys", player2KeysName(keys));
}

void GameSettings::applyTo(PlayerSetup& setup) {
    // What the file does not say stays as the game set it up.
    const std::string who = file.get("player2");
    if (who == "person" || who == "computer") {
        setup.setComputer(2, who == "computer");
    } else if (file.has("player2")) {
        reportBadValue("player2", "person or computer");
    }
    if (file.get("lives") == "unlimited") {
        setup.livesPerMatch = PlayerSetup::unlimitedLives;
    } else if (file.has("lives")) {
        setup.livesPerMatch =
            readNumber("lives", PlayerSetup::fewestLives, PlayerSetup::mostLives, PlayerSetup::defaultLives);
    }
    const std::string arena = file.get("arena");
    if (isArenaChoice(arena)) {
        setup.arenaChoice = arena;
        setup.matchArena = arenaByKey(arena).key;
    } else if (file.has("arena")) {
        reportBadValue("arena", arenaChoicesText());
    }
}

void GameSettings::applyVolumes() {
    int values[3] = {0, 0, 0};
    bool any = false;
    for (size_t i = 0; i < 3; ++i) {
        const auto slider = audioSlider(volumeSliders[i].widget);
        const int current = slider ? static_cast<int>(std::lround(slider->getValue())) : fullVolume / 2;
        any = any || file.has(volumeSliders[i].key);
        values[i] = readNumber(volumeSliders[i].key, 0, fullVolume, current);
        if (slider) {
            slider->setValue(static_cast<float>(values[i]));
        }
    }
    if (!any) {
        return;
    }
    // As the audio page sets them from its sliders.
    const float master = static_cast<float>(values[0]) / fullVolume;
    auto& sounds = SoundManager::instance();
    sounds.musicVolume = master * static_cast<float>(values[1]) / fullVolume;
    sounds.soundVolume = master * static_cast<float>(values[2]) / fullVolume;
}

void GameSettings::applyBindings(InputManager& input) {
    for (const auto& [key, value] : file.getEntries()) {
        if (key.rfind(bindingPrefix, 0) != 0) {
            continue;
        }
        const std::string name = key.substr(std::string(bindingPrefix).size());
        const auto action = input.actions.find(name);
        const auto axis = input.axes.find(name);
        bool readable = !words(value).empty();
        if (action != input.actions.end()) {
            std::vector<int32_t> codes;
            for (const auto& word : words(value)) {
                int32_t code = 0;
                readable = readable && inputCodes::fromText(word, code);
                codes.push_back(code);
            }
            if (readable) {
                action->second->codes = codes;
                continue;
            }
        } else if (axis != input.axes.end()) {
            std::map<int32_t, float> keyValues;
            std::vector<std::pair<PadAxis, unsigned int>> padAxes;
            for (const auto& word : words(value)) {
                const auto colon = word.find(':');
                int32_t code = 0;
                float contribution = 0.0f;
                unsigned int slot = 0;
                PadAxis padAxis = PadAxis::leftX;
                if (colon == std::string::npos && inputCodes::padAxisFromText(word, slot, padAxis)) {
                    padAxes.emplace_back(padAxis, slot);
                    continue;
                }
                readable = readable && colon != std::string::npos &&
                           inputCodes::fromText(word.substr(0, colon), code) &&
                           replayFormat::parseFloat(word.substr(colon + 1), contribution);
                keyValues.emplace(code, contribution);
            }
            if (readable) {
                axis->second->keyValues = keyValues;
                // A line written before pads were named keeps the pads' sticks.
                if (!padAxes.empty()) {
                    axis->second->padAxes = padAxes;
                }
                continue;
            }
        } else {
            // Kept for a game that has this action; nothing here reads it.
            continue;
        }
        reportBadValue(key, action != input.actions.end() ? "a list of input codes"
                                                          : "a list of code:value pairs");
    }
}

void GameSettings::storeBinding(const InputManager& input, const std::string& name) {
    std::string text;
    if (const auto action = input.actions.find(name); action != input.actions.end()) {
        for (const int32_t code : action->second->codes) {
            text += (text.empty() ? "" : " ") + inputCodes::toText(code);
        }
    } else if (const auto axis = input.axes.find(name); axis != input.axes.end()) {
        for (const auto& [code, contribution] : axis->second->keyValues) {
            text += (text.empty() ? "" : " ") + inputCodes::toText(code) + ":" +
                    replayFormat::formatFloat(contribution);
        }
        for (const auto& [padAxis, slot] : axis->second->padAxes) {
            text += (text.empty() ? "" : " ") + inputCodes::padAxisText(slot, padAxis);
        }
    } else {
        return;
    }
    file.set(bindingPrefix + name, text);
}

void GameSettings::applyWindow(Game& game) {
    if (file.has("window.size")) {
        const std::string text = file.get("window.size");
        const auto x = text.find('x');
        const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
        long long width = 0;
        long long height = 0;
        if (x != std::string::npos &&
            replayFormat::parseInteger(text.substr(0, x), smallestWindow, desktop.width, width) &&
            replayFormat::parseInteger(text.substr(x + 1), smallestWindow * 9 / 16, desktop.height, height)) {
            game.resizeWindow({static_cast<unsigned>(width), static_cast<unsigned>(height)});
        } else {
            reportBadValue("window.size", "a width x height that fits the desktop");
        }
    }
    const std::string mode = file.get("window.fullscreen");
    if (mode == "yes" && !game.isFullscreen()) {
        game.toggleFullscreen();
    } else if (file.has("window.fullscreen") && mode != "yes" && mode != "no") {
        reportBadValue("window.fullscreen", "yes or no");
    }
    lastWindowSize = game.windowedWindowSize();
    lastFullscreen = game.isFullscreen();
    windowSeen = true;
}

void GameSettings::followWindow(const Game& game) {
    // A closed window has no size left to keep.
    if (!game.window.isOpen()) {
        return;
    }
    // Compared every frame; the text is made only for a change.
    const sf::Vector2u size = game.windowedWindowSize();
    if (windowSeen && size == lastWindowSize && game.isFullscreen() == lastFullscreen) {
        return;
    }
    lastWindowSize = size;
    lastFullscreen = game.isFullscreen();
    windowSeen = true;
    setWindowKeys(file, windowState(size, lastFullscreen));
}

void GameSettings::follow(const PlayerSetup& setup) {
    const bool first = !followed;
    followed = true;
    for (const auto& entry : volumeSliders) {
        const auto slider = audioSlider(entry.widget);
        if (!slider) {
            continue;
        }
        const std::string value = std::to_string(std::lround(slider->getValue()));
        // Unmoved sliders are not written: a run that changes nothing leaves no file behind.
        if (!first && value != lastVolumes[entry.key]) {
            file.set(entry.key, value);
        }
        lastVolumes[entry.key] = value;
    }
    if (!first && setup.isComputer(2) != lastComputer2) {
        file.set("player2", setup.isComputer(2) ? "computer" : "person");
    }
    if (!first && setup.livesPerMatch != lastLives) {
        file.set("lives", livesText(setup.livesPerMatch));
    }
    if (!first && setup.arenaChoice != lastArena) {
        file.set("arena", setup.arenaChoice);
    }
    if (!first && padRumble::isEnabled() != lastRumble) {
        file.set("rumble", padRumble::isEnabled() ? "on" : "off");
    }
    lastRumble = padRumble::isEnabled();
    lastComputer2 = setup.isComputer(2);
    lastLives = setup.livesPerMatch;
    lastArena = setup.arenaChoice;
}

void GameSettings::saveWhenDue(float delta) {
    if (!file.isChanged()) {
        sinceChange = 0.0f;
        return;
    }
    sinceChange += delta;
    if (sinceChange >= saveDelay) {
        file.save();
        sinceChange = 0.0f;
    }
}

void GameSettings::saveAtExit(const PlayerSetup& setup, const Game& game) {
    follow(setup);
    followWindow(game);
    // The whole set is written, so the file shows every setting there is.
    for (const auto& entry : volumeSliders) {
        if (const auto slider = audioSlider(entry.widget); slider && !file.has(entry.key)) {
            file.set(entry.key, std::to_string(std::lround(slider->getValue())));
        }
    }
    // A player 2 chosen on the command line is for that run only.
    if (!file.has("player2")) {
        file.set("player2", "person");
    }
    if (!file.has("player2.keys")) {
        setPlayer2Keys(Player2Keys::numberPad);
    }
    if (!file.has("lives")) {
        file.set("lives", livesText(setup.livesPerMatch));
    }
    // As the window was last seen open.
    if (!file.has("window.size") && windowSeen) {
        setWindowKeys(file, windowState(lastWindowSize, lastFullscreen));
    }
    if (!file.has("arena")) {
        file.set("arena", arenas().front().key);
    }
    if (!file.has("rumble")) {
        file.set("rumble", "on");
    }
    file.saveNow();
}
