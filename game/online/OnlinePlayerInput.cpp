#include "game/online/OnlinePlayerInput.hpp"

#include <algorithm>
#include <cmath>

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace onlineInput {

net::PlayerInput readLocalPlayer(const InputManager& input) {
    net::PlayerInput read;
    // The keys work the page; the match goes on, with this player's hands off.
    if (input.isPageOpen()) {
        return read;
    }
    // Read as the game reads its actions offline: the same codes, latched
    // presses, dead zones and scales.
    for (size_t bit = 0; bit < buttons.size(); ++bit) {
        const auto mask = static_cast<uint8_t>(1u << bit);
        for (int player = 1; player <= 2; ++player) {
            const std::string name = playerActionName(player, buttons[bit]);
            if (input.isActionDownOnDevices(name)) {
                read.down |= mask;
            }
            if (input.wasActionTappedOnDevices(name)) {
                read.tapped |= mask;
            }
        }
    }
    for (size_t axis = 0; axis < axes.size(); ++axis) {
        const float sum = std::clamp(input.readAxisOnDevices(playerActionName(1, axes[axis])) +
                                         input.readAxisOnDevices(playerActionName(2, axes[axis])),
                                     -1.0f, 1.0f);
        read.axes[axis] = static_cast<int16_t>(std::lround(sum * net::PlayerInput::axisScale));
    }
    return read;
}

float axisValue(int16_t fixedPoint) {
    return static_cast<float>(fixedPoint) / static_cast<float>(net::PlayerInput::axisScale);
}

} // namespace onlineInput
