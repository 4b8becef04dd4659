#pragma once

#include <cstddef>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/VertexArray.hpp>

// Draws many sprites onto a target in as few draw calls as their textures
// allow: sprites are gathered as triangles while they share a texture, and
// sent when the texture changes, when the batch is full, or on `flush`. The
// target receives exactly what drawing each sprite in turn with default
// render states would give.
class TileBatch {
public:
    explicit TileBatch(sf::RenderTarget& target);
    // Takes the sprite's current texture rectangle, colour and transform.
    void add(const sf::Sprite& sprite);
    void flush();

    // Tiles per draw call at most: a large layer of one tileset costs a few
    // more draw calls instead of gigabytes of vertices.
    static constexpr std::size_t maxTiles = 16384;

private:
    sf::RenderTarget& target;
    const sf::Texture* texture = nullptr;
    sf::VertexArray vertices;
};
