#include "widgets/Widget.hpp"

#include "widgets/Group.hpp"

namespace widgets {

sf::Vector2f Widget::parentSize() const {
    return parent ? parent->getSize() : sf::Vector2f();
}

sf::Vector2f Widget::getSize() const {
    const sf::Vector2f available = parentSize();
    return size ? size->resolve(available) : defaultSize(available);
}

sf::FloatRect Widget::getAbsoluteRect() const {
    sf::Vector2f origin;
    if (parent) {
        const sf::FloatRect parentRect = parent->getAbsoluteRect();
        origin = {parentRect.left, parentRect.top};
    }
    const sf::Vector2f offset = position.resolve(parentSize());
    const sf::Vector2f extent = getSize();
    return {origin + offset, extent};
}

bool Widget::isShown() const {
    for (const Widget* widget = this; widget; widget = widget->parent) {
        if (!widget->visible) {
            return false;
        }
    }
    return true;
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
