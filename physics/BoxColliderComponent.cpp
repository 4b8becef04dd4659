#include "physics/BoxColliderComponent.hpp"

#include <algorithm>
#include <cmath>

#include <SFML/Graphics/VertexArray.hpp>

#include "physics/PhysicsManager.hpp"

namespace {
std::shared_ptr<b2PolygonShape> makeBox(sf::Vector2f offset, sf::Vector2f size, float angle) {
    const float scale = PhysicsManager::instance().pixelsPerMeter;
    // A box needs some area for Box2D to find its mass and centre: a box of
    // no width (a point object on a map) is made as thin as Box2D's slop.
    auto halfExtent = [scale](float length) {
        return std::max(std::fabs(length) / scale * 0.5f, b2_linearSlop);
    };
    auto shape = std::make_shared<b2PolygonShape>();
    shape->SetAsBox(halfExtent(size.x), halfExtent(size.y), PhysicsManager::instance().toMeters(offset),
                    angle);
    return shape;
}
} // namespace

BoxColliderComponent::BoxColliderComponent(sf::Vector2f offset, sf::Vector2f size, float angle, bool isSensor,
                                           float friction, float restitution)
    : ColliderComponent(makeBox(offset, size, angle), isSensor, friction, restitution),
      vertices(static_cast<b2PolygonShape*>(shape.get())->m_vertices) {}

void BoxColliderComponent::drawOutline(sf::RenderTarget& target, const sf::Color& color) {
    const float scale = PhysicsManager::instance().pixelsPerMeter;
    sf::VertexArray outline(sf::LineStrip, 5);
    for (size_t i = 0; i < 5; ++i) {
        const b2Vec2& corner = vertices[i % 4];
        outline[i] = sf::Vertex(bodyToWorld({corner.x * scale, corner.y * scale}), color);
    }
    target.draw(outline);
}
