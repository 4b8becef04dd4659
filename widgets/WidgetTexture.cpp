#include "widgets/WidgetTexture.hpp"

namespace widgets {

sf::IntRect WidgetTexture::partRect() const {
    if (!texture) {
        return {};
    }
    const sf::Vector2u full = texture->getSize();
    const sf::IntRect whole(0, 0, static_cast<int>(full.x), static_cast<int>(full.y));
    if (!part) {
        return whole;
    }
    sf::IntRect inside;
    return whole.intersects(*part, inside) ? inside : sf::IntRect();
}

std::optional<sf::IntRect> WidgetTexture::middleRect() const {
    if (!middle) {
        return std::nullopt;
    }
    const sf::IntRect area = partRect();
    sf::IntRect inside;
    if (!sf::IntRect(0, 0, area.width, area.height).intersects(*middle, inside)) {
        return std::nullopt;
    }
    return inside;
}

sf::Vector2f WidgetTexture::size() const {
    const sf::IntRect area = partRect();
    return {static_cast<float>(area.width), static_cast<float>(area.height)};
}

} // namespace widgets
