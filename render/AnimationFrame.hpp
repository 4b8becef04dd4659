#pragma once

#include <memory>

#include <SFML/Graphics/Sprite.hpp>

// One picture of a frame animation and how long it stays (seconds). The
// sprite is shared, usually with the AssetManager's cache.
struct AnimationFrame {
    std::shared_ptr<sf::Sprite> sprite;
    float duration = 0.0f;
};
