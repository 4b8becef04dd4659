#include "widgets/Button.hpp"

#include <algorithm>

#include "widgets/Drawing.hpp"

namespace widgets {

namespace {
// The look of a button whose form gives none.
const sf::Color defaultText(235, 235, 240);
const sf::Color defaultTextHover(255, 255, 255);
const sf::Color defaultTextDown(200, 200, 210);
const sf::Color defaultTextDisabled(125, 125, 130);
const sf::Color defaultBackground(32, 34, 44, 225);
const sf::Color defaultBackgroundHover(58, 62, 82, 235);
const sf::Color defaultBackgroundDown(22, 23, 30, 245);
const sf::Color defaultBackgroundDisabled(45, 45, 50, 170);
const sf::Color defaultBorder(190, 190, 200);
const sf::Color defaultBorderHover(255, 255, 255);
const sf::Color defaultBorderDown(150, 150, 160);
const float defaultBorderWidth = 2.0f;
} // namespace

Button::Look Button::currentLook() const {
    if (!isEnabled()) {
        return Look::Disabled;
    }
    if (isDown()) {
        return Look::Down;
    }
    return hovered ? Look::Hover : Look::Normal;
}

void Button::draw(sf::RenderTarget& target) const {
    const sf::FloatRect rect = getAbsoluteRect();
    const Look look = currentLook();
    const Renderer& r = renderer;
    using drawing::pick;

    sf::Color textColor = r.textColor.value_or(defaultText);
    sf::Color background = r.backgroundColor.value_or(defaultBackground);
    sf::Color border = r.borderColor.value_or(defaultBorder);
    WidgetTexture texture = r.texture;
    switch (look) {
    case Look::Normal:
        break;
    case Look::Hover:
        textColor = pick(r.textColorHover, r.textColor, defaultTextHover);
        background = pick(r.backgroundColorHover, r.backgroundColor, defaultBackgroundHover);
        border = pick(r.borderColorHover, r.borderColor, defaultBorderHover);
        texture = r.textureHover ? r.textureHover : r.texture;
        break;
    case Look::Down:
        textColor = pick(r.textColorDown, r.textColor, defaultTextDown);
        background = pick(r.backgroundColorDown, r.backgroundColor, defaultBackgroundDown);
        border = pick(r.borderColorDown, r.borderColor, defaultBorderDown);
        texture = r.textureDown ? r.textureDown : r.texture;
        break;
    case Look::Disabled:
        textColor = pick(r.textColorDisabled, r.textColor, defaultTextDisabled);
        background = pick(r.backgroundColorDisabled, r.backgroundColor, defaultBackgroundDisabled);
        texture = r.textureDisabled ? r.textureDisabled : r.texture;
        break;
    }

    const Borders borders = r.borders.value_or(Borders(defaultBorderWidth));
    if (texture) {
        drawing::textured(target, texture, rect);
        drawing::box(target, rect, sf::Color::Transparent, borders, border);
    } else {
        drawing::box(target, rect, background, borders, border);
    }

    if (!text.empty()) {
        const auto fitted = static_cast<unsigned int>(std::max(8.0f, rect.height * 0.5f));
        unsigned int size = textSize == 0 ? fitted : textSize;
        sf::Text label = drawing::text(text, size, textColor, r.textStyle.value_or(sf::Text::Regular));
        // A text wider than the button shrinks (down to 8 pixels) rather than
        // spill over its borders. Glyphs do not scale exactly, hence the loop.
        const float room = rect.width - borders.left - borders.right - 8.0f;
        const float width = label.getLocalBounds().width;
        if (width > room && room > 0.0f) {
            size = std::max(8u, static_cast<unsigned int>(static_cast<float>(size) * room / width));
            label.setCharacterSize(size);
            while (label.getLocalBounds().width > room && size > 8) {
                label.setCharacterSize(--size);
            }
        }
        drawing::centre(label, {rect.left + rect.width / 2.0f, rect.top + rect.height / 2.0f});
        target.draw(label);
    }
}

} // namespace widgets
