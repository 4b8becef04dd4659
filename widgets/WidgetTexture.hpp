#pragma once

#include <memory>
#include <optional>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace widgets {

// An image as a widget's look uses it: a part of a texture, optionally with
// a middle rectangle. Drawn over a widget, the part's corners outside the
// middle keep their size, its edges stretch along one axis and the middle
// along both, so frames and rounded corners stay crisp at any size.
// Without a middle the part is stretched whole. Empty (false) when no
// texture is set or it could not be loaded.
struct WidgetTexture {
    WidgetTexture() = default;
    // The whole texture, stretched.
    WidgetTexture(std::shared_ptr<const sf::Texture> texture) : texture(std::move(texture)) {}

    explicit operator bool() const { return texture != nullptr; }
    const sf::Texture* operator->() const { return texture.get(); }

    // Texture pixels: the part, kept inside the texture; the whole texture when no part is set.
    sf::IntRect partRect() const;
    // Texture pixels relative to the part, kept inside it; empty when there is no usable middle.
    std::optional<sf::IntRect> middleRect() const;
    // The part's size in texture pixels.
    sf::Vector2f size() const;

    std::shared_ptr<const sf::Texture> texture;
    std::optional<sf::IntRect> part;
    std::optional<sf::IntRect> middle;
};

} // namespace widgets
