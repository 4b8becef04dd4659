#include "game/online/OnlineInputBackend.hpp"

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"
#include "game/online/OnlinePlayerInput.hpp"

OnlineInputBackend::OnlineInputBackend(std::shared_ptr<InputBackend> wrapped, const InputManager& manager)
    : devices(std::move(wrapped)), input(manager) {}

bool OnlineInputBackend::findPlayerName(const std::string& name, bool axis, int& player, size_t& index) {
    for (player = 1; player <= 2; ++player) {
        const size_t count = axis ? onlineInput::axes.size() : onlineInput::buttons.size();
        for (index = 0; index < count; ++index) {
            if (name ==
                playerActionName(player, axis ? onlineInput::axes[index] : onlineInput::buttons[index])) {
                return true;
            }
        }
    }
    return false;
}

bool OnlineInputBackend::isActionDown(const std::string& name) {
    int player = 0;
    size_t bit = 0;
    if (findPlayerName(name, false, player, bit)) {
        return frame[static_cast<size_t>(player - 1)].down & (1u << bit);
    }
    // Not part of the match: this machine's own devices.
    return input.isActionDownOnDevices(name);
}

bool OnlineInputBackend::wasActionTapped(const std::string& name) {
    int player = 0;
    size_t bit = 0;
    if (findPlayerName(name, false, player, bit)) {
        return frame[static_cast<size_t>(player - 1)].tapped & (1u << bit);
    }
    return input.wasActionTappedOnDevices(name);
}

float OnlineInputBackend::getAxisValue(const std::string& name) {
    int player = 0;
    size_t axis = 0;
    if (!findPlayerName(name, true, player, axis)) {
        return input.readAxisOnDevices(name);
    }
    return onlineInput::axisValue(frame[static_cast<size_t>(player - 1)].axes[axis]);
}
