#pragma once

#include <memory>
#include <string>

#include <SFML/Graphics/Sprite.hpp>

#include "render/AnimationFrame.hpp"
#include "render/RenderableComponent.hpp"

// Draws one sprite centred on its game object, with the object's world
// transform. The sprite is shared (usually with the AssetManager's cache),
// so its origin is set here for every user of that sprite.
class SpriteRendererComponent : public RenderableComponent {
public:
    explicit SpriteRendererComponent(const std::shared_ptr<sf::Sprite>& sprite);
    // Uses the AssetManager's sprite of that image path (loaded on first use).
    SpriteRendererComponent(const std::string& texturePath, int32_t depth);

    // Centres the sprite's origin on its texture rectangle and keeps it; an
    // empty pointer is ignored and the previous sprite stays.
    void setSprite(const std::shared_ptr<sf::Sprite>& newSprite);
    // The frame's sprite, its origin on the frame's centre (see
    // AnimationFrame::origin): a frame trimmed to its drawn pixels stands
    // where the whole frame would, and only its pixels are drawn.
    void setFrame(const AnimationFrame& frame);
    void init() override {}
    void draw(float delta, float time, sf::RenderTarget& target) override;

    std::shared_ptr<sf::Sprite> sprite;
};
