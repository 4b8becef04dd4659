#include "scene/TileBatch.hpp"

#include <cstdlib>

#include <SFML/Graphics/RenderStates.hpp>

TileBatch::TileBatch(sf::RenderTarget& target) : target(target), vertices(sf::Triangles) {}

void TileBatch::add(const sf::Sprite& sprite) {
    if (sprite.getTexture() != texture || vertices.getVertexCount() >= maxTiles * 6) {
        flush();
        texture = sprite.getTexture();
    }
    // The quad sf::Sprite itself draws: its local bounds, texture coordinates
    // spanning the rectangle (a negative size flips), under its transform.
    const sf::IntRect rectangle = sprite.getTextureRect();
    const float width = static_cast<float>(std::abs(rectangle.width));
    const float height = static_cast<float>(std::abs(rectangle.height));
    const float left = static_cast<float>(rectangle.left);
    const float right = left + static_cast<float>(rectangle.width);
    const float top = static_cast<float>(rectangle.top);
    const float bottom = top + static_cast<float>(rectangle.height);
    const sf::Transform& transform = sprite.getTransform();
    const sf::Color colour = sprite.getColor();
    const sf::Vertex topLeft(transform.transformPoint(0.f, 0.f), colour, {left, top});
    const sf::Vertex bottomLeft(transform.transformPoint(0.f, height), colour, {left, bottom});
    const sf::Vertex topRight(transform.transformPoint(width, 0.f), colour, {right, top});
    const sf::Vertex bottomRight(transform.transformPoint(width, height), colour, {right, bottom});
    for (const sf::Vertex& vertex : {topLeft, bottomLeft, topRight, topRight, bottomLeft, bottomRight}) {
        vertices.append(vertex);
    }
}

void TileBatch::flush() {
    if (vertices.getVertexCount() > 0) {
        target.draw(vertices, sf::RenderStates(texture));
        vertices.clear();
    }
}
