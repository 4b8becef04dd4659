#pragma once

#include <memory>

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include "render/RenderableComponent.hpp"

// Draws a vertex array in its game object's space, optionally textured.
// The owner edits `vertices` in place as often as it likes (beards are
// rebuilt every frame); texture coordinates are in texture pixels.
class PolygonRendererComponent : public RenderableComponent {
public:
    explicit PolygonRendererComponent(const sf::VertexArray& vertices, int32_t depth = 0);

    void setTexture(const std::shared_ptr<sf::Texture>& newTexture) { texture = newTexture; }
    void init() override {}
    void draw(float delta, float time, sf::RenderTarget& target) override;

    sf::VertexArray vertices;
    // Shared with the AssetManager's cache; empty draws untextured.
    std::shared_ptr<sf::Texture> texture;
};
