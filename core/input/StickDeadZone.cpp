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
    // A corner of the square range is longer than 1: it reads as full.
    const float scaled = std::min(1.0f, (length - deadZone) / (1.0f - deadZone));
    return along / length * scaled;
}
