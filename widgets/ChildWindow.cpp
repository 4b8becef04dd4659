#include "widgets/ChildWindow.hpp"

#include <algorithm>

#include "widgets/Drawing.hpp"

namespace widgets {

namespace {
const float windowDefaultTitleBarHeight = 30.0f;
const sf::Color windowDefaultTitleBar(58, 62, 82);
const sf::Color windowDefaultTitle(240, 240, 245);
// Space between the title bar's edges and the title or the close button.
const float windowTitlePadding = 4.0f;
} // namespace

float ChildWindow::titleBarHeight() const {
    return std::max(0.0f, titleRenderer.titleBarHeight.value_or(windowDefaultTitleBarHeight));
}

sf::Vector2f ChildWindow::innerOffset() const {
    const Borders b = borders();
    return {b.left, b.top + titleBarHeight()};
}

sf::FloatRect ChildWindow::getOuterRect() const {
    const sf::FloatRect client = getAbsoluteRect();
    const Borders b = borders();
    return {client.left, client.top, client.width + b.left + b.right,
            client.height + b.top + b.bottom + titleBarHeight()};
}

sf::FloatRect ChildWindow::getCloseButtonRect() const {
    if (!closeButton) {
        return {};
    }
    const sf::FloatRect outer = getOuterRect();
    const Borders b = borders();
    const float side = std::max(0.0f, titleBarHeight() - 2.0f * windowTitlePadding);
    return {outer.left + outer.width - b.right - windowTitlePadding - side,
            outer.top + b.top + windowTitlePadding, side, side};
}

bool ChildWindow::contains(sf::Vector2f point) const {
    return getOuterRect().contains(point);
}

void ChildWindow::draw(sf::RenderTarget& target) const {
    const sf::FloatRect outer = getOuterRect();
    const Borders b = borders();
    const float bar = titleBarHeight();
    // The frame around the client area counts the title bar as a thick top border.
    drawFramed(target, outer, Borders(b.left, b.top + bar, b.right, b.bottom));
    const sf::FloatRect barRect(outer.left + b.left, outer.top + b.top, outer.width - b.left - b.right, bar);
    drawing::box(target, barRect, titleRenderer.titleBarColor.value_or(windowDefaultTitleBar), Borders(),
                 sf::Color::Transparent);

    const sf::Color titleColor = titleRenderer.titleColor.value_or(windowDefaultTitle);
    const sf::FloatRect close = getCloseButtonRect();
    if (close.width > 0.0f) {
        drawing::box(target, close, sf::Color::Transparent, Borders(1.0f), titleColor);
        sf::Text cross =
            drawing::text("x", static_cast<unsigned int>(std::max(8.0f, close.height * 0.8f)), titleColor);
        drawing::centre(cross, {close.left + close.width / 2.0f, close.top + close.height / 2.0f});
        target.draw(cross);
    }
    if (!title.empty()) {
        const float room = (close.width > 0.0f ? close.left : barRect.left + barRect.width) - barRect.left;
        const drawing::ClipScope clip(target, {barRect.left, barRect.top, room, barRect.height});
        sf::Text text = drawing::text(title, titleTextSize, titleColor);
        const float width = text.getLocalBounds().width;
        float left = barRect.left + windowTitlePadding;
        if (titleAlignment == Alignment::Center) {
            left = barRect.left + (room - width) / 2.0f;
        } else if (titleAlignment == Alignment::Right) {
            left = barRect.left + room - windowTitlePadding - width;
        }
        drawing::placeLeft(text, left, barRect.top + bar / 2.0f);
        target.draw(text);
    }
}

void ChildWindow::leftPressed(sf::Vector2f point) {
    closePressed = getCloseButtonRect().contains(point);
}

void ChildWindow::leftReleased(sf::Vector2f point, bool over) {
    const bool wasPressed = closePressed;
    closePressed = false;
    if (wasPressed && over && getCloseButtonRect().contains(point) && isEnabled()) {
        setVisible(false);
        onClose.emit();
    }
}

} // namespace widgets
