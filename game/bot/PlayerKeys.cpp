#include "game/bot/PlayerKeys.hpp"

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace {
bool isKeyboardCode(int32_t code) {
    return code >= 0 && code < sf::Keyboard::KeyCount;
}

sf::Keyboard::Key buttonKey(const InputManager& input, const std::string& name) {
    const auto found = input.actions.find(name);
    if (found == input.actions.end()) {
        return sf::Keyboard::Unknown;
    }
    for (const int32_t code : found->second->codes) {
        if (isKeyboardCode(code)) {
            return static_cast<sf::Keyboard::Key>(code);
        }
    }
    return sf::Keyboard::Unknown;
}

// The first keyboard key that pushes the axis fully to `direction` (-1 or 1).
sf::Keyboard::Key axisKey(const InputManager& input, const std::string& name, float direction) {
    const auto found = input.axes.find(name);
    if (found == input.axes.end()) {
        return sf::Keyboard::Unknown;
    }
    for (const auto& [code, value] : found->second->keyValues) {
        if (isKeyboardCode(code) && value * direction >= 1.0f) {
            return static_cast<sf::Keyboard::Key>(code);
        }
    }
    return sf::Keyboard::Unknown;
}
} // namespace

bool PlayerKeys::complete() const {
    for (const auto key : {left, right, up, down, jump, magic}) {
        if (key == sf::Keyboard::Unknown) {
            return false;
        }
    }
    return true;
}

PlayerKeys findPlayerKeys(const InputManager& input, int playerNumber) {
    PlayerKeys keys;
    keys.left = axisKey(input, playerActionName(playerNumber, "Horizontal"), -1.0f);
    keys.right = axisKey(input, playerActionName(playerNumber, "Horizontal"), 1.0f);
    keys.up = axisKey(input, playerActionName(playerNumber, "Vertical"), -1.0f);
    keys.down = axisKey(input, playerActionName(playerNumber, "Vertical"), 1.0f);
    keys.jump = buttonKey(input, playerActionName(playerNumber, "Jump"));
    keys.magic = buttonKey(input, playerActionName(playerNumber, "Magic"));
    return keys;
}
