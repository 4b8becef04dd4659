#include "widgets/Panel.hpp"

#include <algorithm>

#include "widgets/Drawing.hpp"

namespace widgets {

namespace {
const sf::Color panelDefaultBackground(32, 34, 44, 225);
const sf::Color panelDefaultBorder(190, 190, 200);
} // namespace

Borders Panel::borders() const {
    return renderer.borders.value_or(Borders());
}

float Panel::innerExtentAlong(LayoutAxis axis) const {
    const Borders b = borders();
    const float frame = axis == LayoutAxis::X ? b.left + b.right : b.top + b.bottom;
    return std::max(0.0f, extentAlong(axis) - frame);
}

sf::Vector2f Panel::innerOffset() const {
    const Borders b = borders();
    return {b.left, b.top};
}

bool Panel::contains(sf::Vector2f point) const {
    return getAbsoluteRect().contains(point);
}

std::shared_ptr<Widget> Panel::widgetAt(sf::Vector2f point) const {
    const sf::FloatRect rect = getAbsoluteRect();
    const sf::Vector2f offset = innerOffset();
    const sf::Vector2f inner = getInnerSize();
    if (!sf::FloatRect(rect.left + offset.x, rect.top + offset.y, inner.x, inner.y).contains(point)) {
        return nullptr;
    }
    return Group::widgetAt(point);
}

void Panel::drawFramed(sf::RenderTarget& target, const sf::FloatRect& rect, const Borders& frame) const {
    const sf::Color border = renderer.borderColor.value_or(panelDefaultBorder);
    if (renderer.textureBackground) {
        drawing::textured(target, renderer.textureBackground, rect);
        drawing::box(target, rect, sf::Color::Transparent, frame, border);
    } else {
        drawing::box(target, rect, renderer.backgroundColor.value_or(panelDefaultBackground), frame, border);
    }
    const sf::FloatRect inner(rect.left + frame.left, rect.top + frame.top,
                              rect.width - frame.left - frame.right, rect.height - frame.top - frame.bottom);
    const drawing::ClipScope clip(target, inner);
    if (clip.visible()) {
        drawChildren(target);
    }
}

void Panel::draw(sf::RenderTarget& target) const {
    drawFramed(target, getAbsoluteRect(), borders());
}

} // namespace widgets
