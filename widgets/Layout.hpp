#pragma once

#include <SFML/System/Vector2.hpp>

namespace widgets {

// One coordinate of a position or size: pixels plus a percentage of the
// parent's extent along the same axis ("50% - 150" is {-150, 50}).
struct LayoutValue {
    float pixels = 0.0f;
    float percent = 0.0f;

    float resolve(float parentExtent) const { return pixels + percent / 100.0f * parentExtent; }
};

// A position or size whose parts may follow the parent's size.
struct Layout2d {
    Layout2d() = default;
    Layout2d(LayoutValue x, LayoutValue y) : x(x), y(y) {}
    // In pixels.
    Layout2d(float x, float y) : x{x, 0.0f}, y{y, 0.0f} {}

    static Layout2d percent(float x, float y) { return {LayoutValue{0.0f, x}, LayoutValue{0.0f, y}}; }

    sf::Vector2f resolve(sf::Vector2f parentSize) const {
        return {x.resolve(parentSize.x), y.resolve(parentSize.y)};
    }

    LayoutValue x;
    LayoutValue y;
};

} // namespace widgets
