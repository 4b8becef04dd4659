#include "widgets/Drawing.hpp"

#include <cmath>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include "widgets/ResourceCache.hpp"

namespace widgets::drawing {

namespace {
void fill(sf::RenderTarget& target, float left, float top, float width, float height, sf::Color color) {
    if (width <= 0.0f || height <= 0.0f || color.a == 0) {
        return;
    }
    sf::RectangleShape shape({width, height});
    shape.setPosition(left, top);
    shape.setFillColor(color);
    target.draw(shape);
}
} // namespace

void box(sf::RenderTarget& target, const sf::FloatRect& rect, sf::Color fillColor, const Borders& borders,
         sf::Color borderColor) {
    const float innerWidth = rect.width - borders.left - borders.right;
    const float innerHeight = rect.height - borders.top - borders.bottom;
    fill(target, rect.left + borders.left, rect.top + borders.top, innerWidth, innerHeight, fillColor);
    fill(target, rect.left, rect.top, rect.width, borders.top, borderColor);
    fill(target, rect.left, rect.top + rect.height - borders.bottom, rect.width, borders.bottom, borderColor);
    fill(target, rect.left, rect.top + borders.top, borders.left, innerHeight, borderColor);
    fill(target, rect.left + rect.width - borders.right, rect.top + borders.top, borders.right, innerHeight,
         borderColor);
}

void stretched(sf::RenderTarget& target, const sf::Texture& texture, const sf::FloatRect& rect) {
    const sf::Vector2u size = texture.getSize();
    if (size.x == 0 || size.y == 0) {
        return;
    }
    sf::Sprite sprite(texture);
    sprite.setPosition(rect.left, rect.top);
    sprite.setScale(rect.width / static_cast<float>(size.x), rect.height / static_cast<float>(size.y));
    target.draw(sprite);
}

sf::Text text(const std::string& utf8, unsigned int characterSize, sf::Color color) {
    sf::Text result;
    if (const sf::Font* font = ResourceCache::font()) {
        result.setFont(*font);
        result.setString(sf::String::fromUtf8(utf8.begin(), utf8.end()));
        result.setCharacterSize(characterSize);
        result.setFillColor(color);
    }
    return result;
}

void centre(sf::Text& text, sf::Vector2f point) {
    const sf::FloatRect bounds = text.getLocalBounds();
    // Vertically the capital height is centred, whatever the letters, so that
    // texts with and without descenders sit on the same line.
    sf::Text capital(text);
    capital.setString("H");
    const sf::FloatRect capitalBounds = capital.getLocalBounds();
    text.setPosition(std::round(point.x - bounds.left - bounds.width / 2.0f),
                     std::round(point.y - capitalBounds.top - capitalBounds.height / 2.0f));
}

} // namespace widgets::drawing
