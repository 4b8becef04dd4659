#include "widgets/Label.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "widgets/Drawing.hpp"
#include "widgets/ResourceCache.hpp"

namespace widgets {

namespace {
const sf::Color defaultText(240, 240, 245);

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

float lineSpacing(unsigned int textSize) {
    const sf::Font* font = ResourceCache::font();
    return font ? font->getLineSpacing(textSize) : static_cast<float>(textSize);
}
} // namespace

sf::Vector2f Label::defaultSize(sf::Vector2f) const {
    const auto lines = splitLines(text);
    float width = 0.0f;
    for (const auto& line : lines) {
        const sf::Text measured =
            drawing::text(line, textSize, sf::Color::White, renderer.textStyle.value_or(sf::Text::Regular));
        width = std::max(width, measured.findCharacterPos(measured.getString().getSize()).x);
    }
    return {std::ceil(width), std::ceil(lineSpacing(textSize) * static_cast<float>(lines.size()))};
}

void Label::draw(sf::RenderTarget& target) const {
    const sf::FloatRect rect = getAbsoluteRect();
    if (renderer.backgroundColor) {
        drawing::box(target, rect, *renderer.backgroundColor, Borders(), sf::Color::Transparent);
    }
    const sf::Color color = renderer.textColor.value_or(defaultText);
    const float spacing = lineSpacing(textSize);
    float top = rect.top;
    for (const auto& line : splitLines(text)) {
        sf::Text drawn = drawing::text(line, textSize, color, renderer.textStyle.value_or(sf::Text::Regular));
        // The advance to the end of the line, not the ink bounds, so that
        // aligned lines do not shift with the shapes of their first letters.
        const float width = drawn.findCharacterPos(drawn.getString().getSize()).x;
        float left = rect.left;
        if (alignment == Alignment::Center) {
            left += (rect.width - width) / 2.0f;
        } else if (alignment == Alignment::Right) {
            left += rect.width - width;
        }
        drawn.setPosition(std::round(left), std::round(top));
        target.draw(drawn);
        top += spacing;
    }
}

} // namespace widgets
