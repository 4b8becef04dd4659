#pragma once

#include "physics/ColliderComponent.hpp"

// A circle whose centre is offset from the body origin.
class CircleColliderComponent : public ColliderComponent {
public:
    // radius and offset in pixels; a negative radius counts as its size.
    explicit CircleColliderComponent(float radius, float friction = 0.0f, bool isSensor = false,
                                     float restitution = 0.0f, float offsetX = 0.0f, float offsetY = 0.0f);

    // A 30-point circle outline, 0.5 pixels thick.
    void drawOutline(sf::RenderTarget& target, const sf::Color& color) override;

    // Pixels.
    float offsetX;
    float offsetY;
    // 0 or more.
    float radius;
};
