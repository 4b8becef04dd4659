#include "physics/CircleColliderComponent.hpp"

#include <algorithm>
#include <cmath>

#include <SFML/Graphics/CircleShape.hpp>
#include <box2d/b2_circle_shape.h>

#include "physics/PhysicsManager.hpp"
#include "scene/GameObject.hpp"

namespace {
std::shared_ptr<b2CircleShape> makeCircle(float radius, float offsetX, float offsetY) {
    const float scale = PhysicsManager::instance().pixelsPerMeter;
    auto shape = std::make_shared<b2CircleShape>();
    // Some area even for a radius of 0 (a map point object), as boxes keep,
    // so Box2D can give the body a mass and a centre.
    shape->m_radius = std::max(std::fabs(radius) / scale, b2_linearSlop);
    shape->m_p.Set(offsetX / scale, offsetY / scale);
    return shape;
}
} // namespace

CircleColliderComponent::CircleColliderComponent(float radius, float friction, bool isSensor,
                                                 float restitution, float offsetX, float offsetY)
    : ColliderComponent(makeCircle(radius, offsetX, offsetY), isSensor, friction, restitution),
      offsetX(offsetX), offsetY(offsetY), radius(std::fabs(radius)) {}

void CircleColliderComponent::drawOutline(sf::RenderTarget& target, const sf::Color& color) {
    auto owner = getGameObject();
    const sf::Vector2f position = owner ? owner->transform->getPosition() : sf::Vector2f();
    sf::CircleShape outline(radius, 30);
    outline.setFillColor(sf::Color::Transparent);
    outline.setOutlineColor(color);
    outline.setOutlineThickness(0.5f);
    outline.setPosition(offsetX + position.x - radius, offsetY + position.y - radius);
    target.draw(outline);
}
