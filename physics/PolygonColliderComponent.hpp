#pragma once

#include <vector>

#include <SFML/System/Vector2.hpp>

#include "physics/ColliderComponent.hpp"

// A convex polygon: Box2D takes the convex hull of the first 8 points
// (pixels, relative to the body origin). Points that give no area (fewer than
// three distinct points, or all on a line) make a 2 x 2 metre box instead,
// Box2D's own fallback, reached without tripping its assertions.
class PolygonColliderComponent : public ColliderComponent {
public:
    explicit PolygonColliderComponent(std::vector<sf::Vector2f> points, bool isSensor = false,
                                      float friction = 0.0f, float restitution = 0.0f);

    // The points as given, closed back to the first one, in world pixels.
    void drawOutline(sf::RenderTarget& target, const sf::Color& color) override;

    // False when the points gave no polygon and the fallback box was used.
    static bool formsPolygon(const std::vector<sf::Vector2f>& points, float pixelsPerMeter);

    int32_t pointCount;
    // Pixels, as given.
    std::vector<sf::Vector2f> points;
};
