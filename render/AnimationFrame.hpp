#pragma once

#include <memory>
#include <optional>
#include <utility>

#include <SFML/Graphics/Sprite.hpp>

// One picture of a frame animation and how long it stays (seconds). The
// sprite is shared, usually with the AssetManager's cache.
struct AnimationFrame {
    AnimationFrame() = default;
    AnimationFrame(std::shared_ptr<sf::Sprite> sprite, float duration,
                   std::optional<sf::Vector2f> origin = std::nullopt)
        : sprite(std::move(sprite)), duration(duration), origin(origin) {}

    std::shared_ptr<sf::Sprite> sprite;
    float duration = 0.0f;
    // Where the frame's centre lies on the sprite (its own pixels), for a
    // sprite trimmed from a larger frame; empty: its rectangle's centre.
    std::optional<sf::Vector2f> origin;
};
