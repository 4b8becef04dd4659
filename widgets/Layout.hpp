#pragma once

#include <memory>

#include <SFML/System/Vector2.hpp>

namespace widgets {

class LayoutExpression;
class Widget;

// Which coordinate a layout value gives: a percentage is of the parent's
// inner extent along the same axis.
enum class LayoutAxis { X, Y };

// One coordinate of a position or size: pixels plus a percentage of the
// parent's extent along the same axis ("50% - 150" is {-150, 50}), or, when
// `expression` is set, that expression instead (references to the parent,
// the widget itself and its siblings, see LayoutExpression.hpp). Values are
// evaluated whenever they are read, so they follow the parent's size.
struct LayoutValue {
    float pixels = 0.0f;
    float percent = 0.0f;
    std::shared_ptr<const LayoutExpression> expression;

    // Without a widget to refer to: references count as 0.
    float resolve(float parentExtent) const { return resolve(nullptr, LayoutAxis::X, parentExtent); }
    // For the widget `self` (may be null) whose parent's inner extent along `axis` is given.
    float resolve(const Widget* self, LayoutAxis axis, float parentExtent) const;
};

// A position or size whose parts may follow the parent's size.
struct Layout2d {
    Layout2d() = default;
    Layout2d(LayoutValue x, LayoutValue y) : x(std::move(x)), y(std::move(y)) {}
    // In pixels.
    Layout2d(float x, float y) : x{x, 0.0f, nullptr}, y{y, 0.0f, nullptr} {}

    static Layout2d percent(float x, float y) {
        return {LayoutValue{0.0f, x, nullptr}, LayoutValue{0.0f, y, nullptr}};
    }

    sf::Vector2f resolve(sf::Vector2f parentSize) const { return resolve(nullptr, parentSize); }
    sf::Vector2f resolve(const Widget* self, sf::Vector2f parentSize) const {
        return {x.resolve(self, LayoutAxis::X, parentSize.x), y.resolve(self, LayoutAxis::Y, parentSize.y)};
    }

    LayoutValue x;
    LayoutValue y;
};

} // namespace widgets
