#include "game/online/OnlinePlayerInput.hpp"

#include <algorithm>
#include <cmath>

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace onlineInput {

namespace {
bool anyCodeDown(const InputManager& input, const std::string& name) {
    const auto found = input.actions.find(name);
    return found != input.actions.end() &&
           std::any_of(found->second->codes.begin(), found->second->codes.end(),
                       [&input](int32_t code) { return input.isCodeDown(code); });
}

// As the InputManager sums an axis: its keys' values, then its pads' sticks
// unscaled (any deflection past one unit is full).
float axisSum(const InputManager& input, const std::string& name) {
    const auto found = input.axes.find(name);
    if (found == input.axes.end()) {
        return 0.0f;
    }
    float sum = 0.0f;
    for (const auto& [code, value] : found->second->keyValues) {
        sum += input.isCodeDown(code) ? value : 0.0f;
    }
    InputBackend& devices = *input.getBackend();
    for (const auto& [stick, joystick] : found->second->joystickAxes) {
        if (joystick < sf::Joystick::Count && static_cast<unsigned>(stick) < sf::Joystick::AxisCount &&
            devices.isJoystickConnected(joystick) && devices.hasJoystickAxis(joystick, stick)) {
            sum += devices.getJoystickAxisPosition(joystick, stick);
        }
    }
    return sum;
}
} // namespace

net::PlayerInput readLocalPlayer(const InputManager& input) {
    net::PlayerInput read;
    // The keys work the page; the match goes on, with this player's hands off.
    if (input.isPageOpen()) {
        return read;
    }
    for (size_t bit = 0; bit < buttons.size(); ++bit) {
        for (int player = 1; player <= 2; ++player) {
            if (anyCodeDown(input, playerActionName(player, buttons[bit]))) {
                read.down |= static_cast<uint8_t>(1u << bit);
            }
        }
    }
    for (size_t axis = 0; axis < axes.size(); ++axis) {
        const float sum = std::clamp(axisSum(input, playerActionName(1, axes[axis])) +
                                         axisSum(input, playerActionName(2, axes[axis])),
                                     -1.0f, 1.0f);
        read.axes[axis] = static_cast<int16_t>(std::lround(sum * net::PlayerInput::axisScale));
    }
    return read;
}

float axisValue(int16_t fixedPoint) {
    return static_cast<float>(fixedPoint) / static_cast<float>(net::PlayerInput::axisScale);
}

} // namespace onlineInput
