#include "app/TextLine.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include "widgets/ResourceCache.hpp"

void drawTextLine(sf::RenderTarget& target, const std::string& line, unsigned size, sf::Vector2f corner) {
    const sf::Font* font = widgets::ResourceCache::font();
    if (!font) {
        return;
    }
    const float padding = static_cast<float>(size) * 0.5f;
    sf::Text text(line, *font, size);
    text.setPosition(corner.x + padding, corner.y + padding / 2.0f);
    text.setFillColor(sf::Color::White);
    sf::RectangleShape backing(
        {text.getLocalBounds().width + 2.0f * padding, static_cast<float>(size) * 1.7f});
    backing.setPosition(corner);
    backing.setFillColor(sf::Color(0, 0, 0, 170));
    target.draw(backing);
    target.draw(text);
}
