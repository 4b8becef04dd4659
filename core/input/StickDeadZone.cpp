#include "core/input/StickDeadZone.hpp"

#include <algorithm>
#include <cmath>

float applyStickDeadZone(float along, float across, float deadZone) {
    along = std::clamp(along, -1.0f, 1.0f);
    across = std::clamp(across, -1.0f, 1.0f);
    const float length = std::hypot(along, across);
    if (length <= deadZone || deadZone >= 1.0f) {
        return 0.0f;
    }
    // Clamped along the axis, not in length: a stick pushed all the way with
    // a little sideways play (longer than 1) still reads full along its axis.
    const float scaled = (length - deadZone) / (1.0f - deadZone);
    return std::clamp(along / length * scaled, -1.0f, 1.0f);
}
