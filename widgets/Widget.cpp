#include "widgets/Widget.hpp"

#include "widgets/Group.hpp"
#include "widgets/LayoutExpression.hpp"

namespace widgets {

sf::Vector2f Widget::parentSize() const {
    return parent ? parent->getInnerSize() : sf::Vector2f();
}

float Widget::parentExtentAlong(LayoutAxis axis) const {
    return parent ? parent->innerExtentAlong(axis) : 0.0f;
}

namespace {
// Keys of the values widgets remember during one layout evaluation.
int layoutQuery(bool position, LayoutAxis axis) {
    return (position ? 2 : 0) + (axis == LayoutAxis::X ? 0 : 1);
}
} // namespace

float Widget::extentAlong(LayoutAxis axis) const {
    const int query = layoutQuery(false, axis);
    if (const auto known = knownLayout(this, query)) {
        return *known;
    }
    const float available = parentExtentAlong(axis);
    const bool x = axis == LayoutAxis::X;
    if (size) {
        return rememberLayout(this, query, (x ? size->x : size->y).resolve(this, axis, available));
    }
    const sf::Vector2f fallback =
        defaultSize(x ? sf::Vector2f(available, 0.0f) : sf::Vector2f(0.0f, available));
    return rememberLayout(this, query, x ? fallback.x : fallback.y);
}

float Widget::positionAlong(LayoutAxis axis) const {
    const int query = layoutQuery(true, axis);
    if (const auto known = knownLayout(this, query)) {
        return *known;
    }
    const bool x = axis == LayoutAxis::X;
    return rememberLayout(this, query,
                          (x ? position.x : position.y).resolve(this, axis, parentExtentAlong(axis)));
}

sf::Vector2f Widget::getSize() const {
    return {extentAlong(LayoutAxis::X), extentAlong(LayoutAxis::Y)};
}

sf::Vector2f Widget::getInnerSize() const {
    return {innerExtentAlong(LayoutAxis::X), innerExtentAlong(LayoutAxis::Y)};
}

sf::Vector2f Widget::getPositionInParent() const {
    return {positionAlong(LayoutAxis::X), positionAlong(LayoutAxis::Y)};
}

sf::FloatRect Widget::getAbsoluteRect() const {
    sf::Vector2f origin;
    if (parent) {
        const sf::FloatRect parentRect = parent->getAbsoluteRect();
        origin = sf::Vector2f(parentRect.left, parentRect.top) + parent->innerOffset();
    }
    const sf::Vector2f offset = getPositionInParent();
    const sf::Vector2f extent = getSize();
    return {origin + offset, extent};
}

void Widget::setEnabled(bool enable) {
    enabled = enable;
    if (!enabled) {
        hovered = false;
        pressCancelled();
    }
}

bool Widget::contains(sf::Vector2f point) const {
    return getAbsoluteRect().contains(point);
}

void Widget::mouseEntered() {
    hovered = true;
    onMouseEnter.emit();
}

void Widget::mouseLeft() {
    hovered = false;
    onMouseLeave.emit();
}

} // namespace widgets
