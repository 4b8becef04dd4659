#include "widgets/CheckBox.hpp"

#include <algorithm>
#include <cmath>

#include <SFML/Graphics/VertexArray.hpp>

#include "widgets/Drawing.hpp"

namespace widgets {

namespace {
const sf::Color checkBoxDefaultText(240, 240, 245);
const sf::Color checkBoxDefaultTextHover(255, 255, 255);
const sf::Color checkBoxDefaultTextDisabled(125, 125, 130);
const sf::Color checkBoxDefaultBackground(32, 34, 44, 225);
const sf::Color checkBoxDefaultBackgroundHover(58, 62, 82, 235);
const sf::Color checkBoxDefaultBackgroundDisabled(45, 45, 50, 170);
const sf::Color checkBoxDefaultBorder(190, 190, 200);
const sf::Color checkBoxDefaultBorderHover(255, 255, 255);
const sf::Color checkBoxDefaultCheck(255, 206, 96);
const sf::Color checkBoxDefaultCheckDisabled(125, 125, 130);
const float checkBoxDefaultBorderWidth = 2.0f;
const float checkBoxDefaultTextDistanceRatio = 0.2f;
} // namespace

void CheckBox::setChecked(bool newState) {
    if (newState == checked) {
        return;
    }
    checked = newState;
    if (checked) {
        onCheck.emit();
    } else {
        onUncheck.emit();
    }
    onChange.emit(checked);
}

unsigned int CheckBox::effectiveTextSize() const {
    if (textSize != 0) {
        return textSize;
    }
    return static_cast<unsigned int>(std::max(8.0f, getSize().y * 0.8f));
}

sf::FloatRect CheckBox::clickableRect() const {
    sf::FloatRect rect = getAbsoluteRect();
    if (!text.empty()) {
        const sf::Text measured = drawing::text(text, effectiveTextSize(), sf::Color::White,
                                                renderer.textStyle.value_or(sf::Text::Regular));
        const float ratio = renderer.textDistanceRatio.value_or(checkBoxDefaultTextDistanceRatio);
        rect.width += rect.width * ratio + measured.getLocalBounds().left + measured.getLocalBounds().width;
    }
    return rect;
}

bool CheckBox::contains(sf::Vector2f point) const {
    return clickableRect().contains(point);
}

void CheckBox::drawMark(sf::RenderTarget& target, const sf::FloatRect& inner, sf::Color color) const {
    // A tick from three points, drawn as a thick strip.
    const float w = inner.width;
    const float h = inner.height;
    const sf::Vector2f points[3] = {{inner.left + w * 0.18f, inner.top + h * 0.52f},
                                    {inner.left + w * 0.42f, inner.top + h * 0.78f},
                                    {inner.left + w * 0.84f, inner.top + h * 0.22f}};
    const float thickness = std::max(2.0f, w * 0.14f);
    sf::VertexArray strip(sf::TriangleStrip);
    for (int i = 0; i < 3; ++i) {
        const sf::Vector2f along = i < 2 ? points[i + 1] - points[i] : points[i] - points[i - 1];
        const float length = std::sqrt(along.x * along.x + along.y * along.y);
        const sf::Vector2f across(-along.y / length * thickness / 2.0f, along.x / length * thickness / 2.0f);
        strip.append(sf::Vertex(points[i] + across, color));
        strip.append(sf::Vertex(points[i] - across, color));
    }
    target.draw(strip);
}

void CheckBox::draw(sf::RenderTarget& target) const {
    const sf::FloatRect rect = getAbsoluteRect();
    const Renderer& r = renderer;
    using drawing::pick;
    const bool hover = hovered && isEnabled();
    sf::Color background = r.backgroundColor.value_or(checkBoxDefaultBackground);
    sf::Color border = r.borderColor.value_or(checkBoxDefaultBorder);
    sf::Color check = r.checkColor.value_or(checkBoxDefaultCheck);
    sf::Color textColor = r.textColor.value_or(checkBoxDefaultText);
    if (!isEnabled()) {
        background = pick(r.backgroundColorDisabled, r.backgroundColor, checkBoxDefaultBackgroundDisabled);
        check = pick(r.checkColorDisabled, r.checkColor, checkBoxDefaultCheckDisabled);
        textColor = pick(r.textColorDisabled, r.textColor, checkBoxDefaultTextDisabled);
    } else if (hover) {
        background = pick(r.backgroundColorHover, r.backgroundColor, checkBoxDefaultBackgroundHover);
        border = pick(r.borderColorHover, r.borderColor, checkBoxDefaultBorderHover);
        check = pick(r.checkColorHover, r.checkColor, checkBoxDefaultCheck);
        textColor = pick(r.textColorHover, r.textColor, checkBoxDefaultTextHover);
    }
    if (focused && r.borderColorFocused) {
        border = *r.borderColorFocused;
    }
    const Borders borders = r.borders.value_or(Borders(checkBoxDefaultBorderWidth));
    drawing::box(target, rect, background, borders, border);
    if (checked) {
        const sf::FloatRect inner(rect.left + borders.left, rect.top + borders.top,
                                  rect.width - borders.left - borders.right,
                                  rect.height - borders.top - borders.bottom);
        if (inner.width > 0.0f && inner.height > 0.0f) {
            drawMark(target, inner, check);
        }
    }
    if (!text.empty()) {
        sf::Text label =
            drawing::text(text, effectiveTextSize(), textColor, r.textStyle.value_or(sf::Text::Regular));
        const float ratio = r.textDistanceRatio.value_or(checkBoxDefaultTextDistanceRatio);
        drawing::placeLeft(label, rect.left + rect.width * (1.0f + ratio), rect.top + rect.height / 2.0f);
        target.draw(label);
    }
}

} // namespace widgets
