#pragma once

#include <SFML/System/Vector2.hpp>
#include <box2d/b2_polygon_shape.h>

#include "physics/ColliderComponent.hpp"

// A box, possibly offset from the body origin and turned about its centre.
class BoxColliderComponent : public ColliderComponent {
public:
    // offset of the centre and size in pixels (a negative size counts as
    // positive; a zero one as Box2D's slop, 0.5 px); angle in radians.
    BoxColliderComponent(sf::Vector2f offset, sf::Vector2f size, float angle = 0.0f, bool isSensor = false,
                         float friction = 0.0f, float restitution = 0.0f);

    // The four corners, mapped to world pixels.
    void drawOutline(sf::RenderTarget& target, const sf::Color& color) override;

    // The corners inside the shape (metres, body space); used for the outline.
    const b2Vec2* vertices;
};
