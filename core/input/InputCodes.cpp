#include "core/input/InputCodes.hpp"

#include <algorithm>
#include <cctype>
#include <iterator>

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

namespace inputCodes {

namespace {
const std::string padPrefix = "pad";
const std::string rawButtonPrefix = "button";
const std::string mousePrefix = "mouse.";

// The keys between the digit row and the number pad, from Escape to Down,
// by the names the settings file writes.
const char* const middleKeyNames[] = {
    "Escape",   "LeftCtrl",    "LeftShift", "LeftAlt",     "LeftSystem",   "RightCtrl",      "RightShift",
    "RightAlt", "RightSystem", "Menu",      "LeftBracket", "RightBracket", "Semicolon",      "Comma",
    "Period",   "Quote",       "Slash",     "Backslash",   "Grave",        "Equal",          "Hyphen",
    "Space",    "Enter",       "Backspace", "Tab",         "PageUp",       "PageDown",       "End",
    "Home",     "Insert",      "Delete",    "NumpadPlus",  "NumpadMinus",  "NumpadMultiply", "NumpadDivide",
    "Left",     "Right",       "Up",        "Down"};
static_assert(std::size(middleKeyNames) == sf::Keyboard::Numpad0 - sf::Keyboard::Escape,
              "one name per key from Escape to Down");
static_assert(sf::Keyboard::Num0 == 26 && sf::Keyboard::Numpad0 == 75 && sf::Keyboard::F1 == 85 &&
                  sf::Keyboard::Pause == 100 && sf::Keyboard::KeyCount == 101,
              "the key names follow the keyboard's numbering");

// Other spellings a person may write: the enumeration's own names and the
// characters the punctuation keys type (not ",", which separates codes).
struct KeyAlias {
    const char* spelling;
    sf::Keyboard::Key key;
};
const KeyAlias keyAliases[] = {
    {"esc", sf::Keyboard::Escape},
    {"lcontrol", sf::Keyboard::LControl},
    {"leftcontrol", sf::Keyboard::LControl},
    {"lshift", sf::Keyboard::LShift},
    {"lalt", sf::Keyboard::LAlt},
    {"lsystem", sf::Keyboard::LSystem},
    {"rcontrol", sf::Keyboard::RControl},
    {"rightcontrol", sf::Keyboard::RControl},
    {"rshift", sf::Keyboard::RShift},
    {"ralt", sf::Keyboard::RAlt},
    {"rsystem", sf::Keyboard::RSystem},
    {"lbracket", sf::Keyboard::LBracket},
    {"[", sf::Keyboard::LBracket},
    {"rbracket", sf::Keyboard::RBracket},
    {"]", sf::Keyboard::RBracket},
    {";", sf::Keyboard::Semicolon},
    {".", sf::Keyboard::Period},
    {"'", sf::Keyboard::Quote},
    {"/", sf::Keyboard::Slash},
    {"\\", sf::Keyboard::Backslash},
    {"tilde", sf::Keyboard::Tilde},
    {"`", sf::Keyboard::Tilde},
    {"=", sf::Keyboard::Equal},
    {"dash", sf::Keyboard::Hyphen},
    {"-", sf::Keyboard::Hyphen},
    {"return", sf::Keyboard::Enter},
    {"add", sf::Keyboard::Add},
    {"numpad+", sf::Keyboard::Add},
    {"subtract", sf::Keyboard::Subtract},
    {"numpad-", sf::Keyboard::Subtract},
    {"multiply", sf::Keyboard::Multiply},
    {"numpad*", sf::Keyboard::Multiply},
    {"divide", sf::Keyboard::Divide},
    {"numpad/", sf::Keyboard::Divide},
};

const char* const mouseButtonNames[] = {"left", "right", "middle", "x1", "x2"};
static_assert(std::size(mouseButtonNames) == sf::Mouse::ButtonCount, "one name per mouse button");

// A key's name as written; empty for a code that is not a named key.
std::string keyName(int32_t code) {
    if (code < 0 || code >= sf::Keyboard::KeyCount) {
        return "";
    }
    if (code < sf::Keyboard::Num0) {
        return std::string(1, static_cast<char>('A' + code));
    }
    if (code < sf::Keyboard::Escape) {
        return "Num" + std::to_string(code - sf::Keyboard::Num0);
    }
    if (code < sf::Keyboard::Numpad0) {
        return middleKeyNames[code - sf::Keyboard::Escape];
    }
    if (code < sf::Keyboard::F1) {
        return "Numpad" + std::to_string(code - sf::Keyboard::Numpad0);
    }
    if (code < sf::Keyboard::Pause) {
        return "F" + std::to_string(code - sf::Keyboard::F1 + 1);
    }
    return "Pause";
}

// The text as names are compared: lower case, without spaces, tabs or underscores.
std::string folded(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '_') {
            result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return result;
}

bool keyFromName(const std::string& name, int32_t& code) {
    for (int32_t key = 0; key < sf::Keyboard::KeyCount; ++key) {
        if (folded(keyName(key)) == name) {
            code = key;
            return true;
        }
    }
    for (const auto& alias : keyAliases) {
        if (name == alias.spelling) {
            code = alias.key;
            return true;
        }
    }
    return false;
}

// "pad<slot from 1>.<name>" (already folded) into the slot (from 0) and the name.
bool splitPadText(const std::string& text, unsigned int& slot, std::string& name) {
    const auto dot = text.find('.');
    if (text.compare(0, padPrefix.size(), padPrefix) != 0 || dot != padPrefix.size() + 1 ||
        !std::isdigit(static_cast<unsigned char>(text[padPrefix.size()]))) {
        return false;
    }
    const int number = text[padPrefix.size()] - '0';
    if (number < 1 || number > padSlots) {
        return false;
    }
    slot = static_cast<unsigned int>(number - 1);
    name = text.substr(dot + 1);
    return true;
}

bool padCodeFromText(const std::string& text, int32_t& code) {
    unsigned int slot = 0;
    std::string name;
    if (!splitPadText(text, slot, name)) {
        return false;
    }
    PadButton button = PadButton::south;
    if (padButtonFromName(name, button)) {
        code = padButton(slot, button);
        return true;
    }
    // A raw button: "button" and a number below 100.
    const std::string number = name.substr(std::min(name.size(), rawButtonPrefix.size()));
    if (name.compare(0, rawButtonPrefix.size(), rawButtonPrefix) != 0 || number.empty() ||
        number.size() > 2 || !isNumberText(number)) {
        return false;
    }
    code = joystickButton(slot, static_cast<unsigned int>(std::stoi(number)));
    return true;
}
} // namespace

std::string toText(int32_t code) {
    if (const std::string key = keyName(code); !key.empty()) {
        return key;
    }
    if (code >= firstMouse && code < firstMouse + static_cast<int32_t>(std::size(mouseButtonNames))) {
        return mousePrefix + mouseButtonNames[code - firstMouse];
    }
    if (code >= firstJoystick && code < firstPad) {
        return padPrefix + std::to_string((code - firstJoystick) / 100 + 1) + "." + rawButtonPrefix +
               std::to_string(code % 100);
    }
    if (code >= firstPad && code <= lastCode) {
        const int32_t button = (code - firstPad) % 100;
        if (button < static_cast<int32_t>(PadButton::count)) {
            return padPrefix + std::to_string((code - firstPad) / 100 + 1) + "." +
                   padButtonName(static_cast<PadButton>(button));
        }
    }
    return std::to_string(code);
}

bool isNumberText(const std::string& text) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (const char digit : text) {
        if (!std::isdigit(static_cast<unsigned char>(digit))) {
            return false;
        }
    }
    return true;
}

bool fromText(const std::string& text, int32_t& code) {
    if (isNumberText(text)) {
        const long value = std::stol(text);
        if (value > lastCode) {
            return false;
        }
        code = static_cast<int32_t>(value);
        return true;
    }
    const std::string name = folded(text);
    if (name.empty()) {
        return false;
    }
    if (name.compare(0, mousePrefix.size(), mousePrefix) == 0) {
        for (size_t button = 0; button < std::size(mouseButtonNames); ++button) {
            if (name.substr(mousePrefix.size()) == mouseButtonNames[button]) {
                code = firstMouse + static_cast<int32_t>(button);
                return true;
            }
        }
        return false;
    }
    return padCodeFromText(name, code) || keyFromName(name, code);
}

std::string padAxisText(unsigned int slot, PadAxis axis) {
    return padPrefix + std::to_string(slot + 1) + "." + padAxisName(axis);
}

bool padAxisFromText(const std::string& text, unsigned int& slot, PadAxis& axis) {
    std::string name;
    return splitPadText(folded(text), slot, name) && padAxisFromName(name, axis);
}

} // namespace inputCodes
