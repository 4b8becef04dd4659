#include "game/settings/GameSettings.hpp"

#include <algorithm>
#include <cctype>
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

std::string lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string withoutBlanks(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            result += c;
        }
    }
    return result;
}

// A switch as a person may write it: yes, on or true; no, off or false; any case.
bool readSwitch(const std::string& text, bool& on) {
    const std::string word = lowered(text);
    if (word == "yes" || word == "on" || word == "true") {
        on = true;
    } else if (word == "no" || word == "off" || word == "false") {
        on = false;
    } else {
        return false;
    }
    return true;
}

// The words of a binding value: the comma-separated parts ("J, Numpad 0,
// pad1.south"), and each part that is no word by itself split at its spaces,
// as older files separated their codes ("57 pad1.south 200").
std::vector<std::string> bindingWords(const std::string& text, bool (*isWord)(const std::string&)) {
    std::vector<std::string> found;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) {
        std::istringstream words(part);
        std::vector<std::string> split;
        for (std::string word; words >> word;) {
            split.push_back(word);
        }
        if (split.size() > 1 && isWord(part)) {
            const auto first = part.find_first_not_of(" \t");
            split = {part.substr(first, part.find_last_not_of(" \t") - first + 1)};
        }
        found.insert(found.end(), split.begin(), split.end());
    }
    return found;
}

bool isCodeWord(const std::string& word) {
    int32_t code = 0;
    return inputCodes::fromText(word, code);
}

// "Left:-1" on an axis: a code and what it adds; a leading "+" is allowed.
bool readKeyValue(const std::string& word, int32_t& code, float& contribution) {
    const auto colon = word.rfind(':');
    if (colon == std::string::npos || !inputCodes::fromText(word.substr(0, colon), code)) {
        return false;
    }
    std::string number = withoutBlanks(word.substr(colon + 1));
    if (!number.empty() && number[0] == '+') {
        number.erase(0, 1);
    }
    return replayFormat::parseFloat(number, contribution);
}

bool isAxisWord(const std::string& word) {
    int32_t code = 0;
    float contribution = 0.0f;
    unsigned int slot = 0;
    PadAxis padAxis = PadAxis::leftX;
    return inputCodes::padAxisFromText(word, slot, padAxis) || readKeyValue(word, code, contribution);
}

// Whether a word gives its code as a bare number, as files did before codes had names.
bool isNumberWord(const std::string& word) {
    return inputCodes::isNumberText(word.substr(0, word.find(':')));
}

// The action or axis of that name, whatever the case a person wrote it in.
template <class Map> typename Map::const_iterator findNamed(const Map& map, const std::string& name) {
    return std::find_if(map.begin(), map.end(),
                        [&](const auto& entry) { return SettingsFile::sameKey(entry.first, name); });
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

int GameSettings::readNumber(const std::string& key, int min, int max, int fallback, bool percent) {
    if (!file.has(key)) {
        return fallback;
    }
    std::string text = file.get(key);
    if (percent && !text.empty() && text.back() == '%') {
        text.pop_back();
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.pop_back();
        }
    }
    if (!text.empty() && text[0] == '+') {
        text.erase(0, 1);
    }
    long long value = 0;
    if (!replayFormat::parseInteger(text, min, max, value)) {
        reportBadValue(key, "a whole number from " + std::to_string(min) + " to " + std::to_string(max));
        return fallback;
    }
    return static_cast<int>(value);
}

Player2Keys GameSettings::player2Keys() const {
    Player2Keys keys = Player2Keys::numberPad;
    if (file.has("player2.keys") && !player2KeysFromName(lowered(file.get("player2.keys")), keys)) {
        reportProblem("Settings %s: player2.keys '%s' is not numpad or laptop; using numpad",
                      file.getPath().c_str(), file.get("player2.keys").c_str());
    }
    return keys;
}

bool GameSettings::rumble() const {
    bool on = true;
    if (file.has("rumble") && !readSwitch(file.get("rumble"), on)) {
        reportProblem("Settings %s: rumble '%s' is not on or off; using on", file.getPath().c_str(),
                      file.get("rumble").c_str());
    }
    return on;
}

void GameSettings::setPlayer2Keys(Player2Keys keys) {
    file.set("player2.keys", player2KeysName(keys));
}

void GameSettings::applyTo(PlayerSetup& setup) {
    // What the file does not say stays as the game set it up.
    const std::string who = lowered(file.get("player2"));
    if (who == "person" || who == "computer") {
        setup.setComputer(2, who == "computer");
    } else if (file.has("player2")) {
        reportBadValue("player2", "person or computer");
    }
    if (lowered(file.get("lives")) == "unlimited") {
        setup.livesPerMatch = PlayerSetup::unlimitedLives;
    } else if (file.has("lives")) {
        setup.livesPerMatch =
            readNumber("lives", PlayerSetup::fewestLives, PlayerSetup::mostLives, PlayerSetup::defaultLives);
    }
    const std::string arena = lowered(file.get("arena"));
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
        values[i] = readNumber(volumeSliders[i].key, 0, fullVolume, current, true);
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
    const std::string prefix = bindingPrefix;
    std::vector<std::string> olderForm;
    for (const auto& [key, value] : file.getEntries()) {
        if (lowered(key.substr(0, prefix.size())) != prefix) {
            continue;
        }
        const std::string name = key.substr(prefix.size());
        const auto action = findNamed(input.actions, name);
        const auto axis = findNamed(input.axes, name);
        bool readable = true;
        std::vector<std::string> words;
        if (action != input.actions.end()) {
            words = bindingWords(value, isCodeWord);
            std::vector<int32_t> codes;
            for (const auto& word : words) {
                int32_t code = 0;
                readable = readable && inputCodes::fromText(word, code);
                codes.push_back(code);
            }
            if (readable && !codes.empty()) {
                action->second->codes = codes;
            }
        } else if (axis != input.axes.end()) {
            words = bindingWords(value, isAxisWord);
            std::map<int32_t, float> keyValues;
            std::vector<std::pair<PadAxis, unsigned int>> padAxes;
            for (const auto& word : words) {
                int32_t code = 0;
                float contribution = 0.0f;
                unsigned int slot = 0;
                PadAxis padAxis = PadAxis::leftX;
                if (inputCodes::padAxisFromText(word, slot, padAxis)) {
                    padAxes.emplace_back(padAxis, slot);
                    continue;
                }
                readable = readable && readKeyValue(word, code, contribution);
                keyValues.emplace(code, contribution);
            }
            if (readable && !words.empty()) {
                axis->second->keyValues = keyValues;
                // A line written before pads were named keeps the pads' sticks.
                if (!padAxes.empty()) {
                    axis->second->padAxes = padAxes;
                }
            }
        } else {
            // Kept for a game that has this action; nothing here reads it.
            continue;
        }
        if (!readable || words.empty()) {
            reportBadValue(
                key, action != input.actions.end()
                         ? "a list of keys and pad buttons such as J, pad1.south"
                         : "a list of key:value pairs and pad sticks such as Left:-1, Right:1, pad1.leftx");
        } else if (std::any_of(words.begin(), words.end(), isNumberWord)) {
            olderForm.push_back(action != input.actions.end() ? action->first : axis->first);
        }
    }
    // Codes written as numbers are written again by name at the next save.
    for (const auto& name : olderForm) {
        storeBinding(input, name);
    }
}

void GameSettings::storeBinding(const InputManager& input, const std::string& name) {
    std::string text;
    const auto add = [&](const std::string& word) { text += (text.empty() ? "" : ", ") + word; };
    if (const auto action = input.actions.find(name); action != input.actions.end()) {
        for (const int32_t code : action->second->codes) {
            add(inputCodes::toText(code));
        }
    } else if (const auto axis = input.axes.find(name); axis != input.axes.end()) {
        for (const auto& [code, contribution] : axis->second->keyValues) {
            add(inputCodes::toText(code) + ":" + replayFormat::formatFloat(contribution));
        }
        for (const auto& [padAxis, slot] : axis->second->padAxes) {
            add(inputCodes::padAxisText(slot, padAxis));
        }
    } else {
        return;
    }
    file.set(bindingPrefix + name, text);
}

void GameSettings::applyWindow(Game& game) {
    if (file.has("window.size")) {
        // "1600x900", also as "1600 X 900".
        const std::string text = lowered(withoutBlanks(file.get("window.size")));
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
    bool fullscreen = false;
    if (file.has("window.fullscreen") && !readSwitch(file.get("window.fullscreen"), fullscreen)) {
        reportBadValue("window.fullscreen", "yes or no");
    } else if (fullscreen && !game.isFullscreen()) {
        game.toggleFullscreen();
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
