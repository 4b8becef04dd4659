#include "game/player/PadRumble.hpp"

#include "core/input/GamepadHub.hpp"

namespace padRumble {

namespace {
bool enabled = true;
// Long enough to be felt, short enough not to blur into the next hit.
constexpr float pulseSeconds = 0.18f;
} // namespace

void setEnabled(bool value) {
    enabled = value;
}

bool isEnabled() {
    return enabled;
}

void pulse(int playerNumber, float strength) {
    if (enabled) {
        GamepadHub::instance().rumble(playerNumber - 1, strength, pulseSeconds);
    }
}

} // namespace padRumble
