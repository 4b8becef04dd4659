#include "widgets/Widget.hpp"

#include "widgets/Group.hpp"

namespace widgets {

sf::Vector2f Widget::parentSize() const {
    return parent ? parent->getInnerSize() : sf::Vector2f();
}

sf::Vector2f Widget::getSize() const {
    const sf::Vector2f available = parentSize();
    return size ? size->resolve(this, available) : defaultSize(available);
}

sf::Vector2f Widget::getPositionInParent() const {
    return position.resolve(this, parentSize());
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
