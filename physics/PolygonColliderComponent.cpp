#include "physics/PolygonColliderComponent.hpp"

#include <algorithm>
#include <cmath>

#include <SFML/Graphics/VertexArray.hpp>
#include <box2d/b2_polygon_shape.h>

#include "physics/PhysicsManager.hpp"

namespace {
// What b2PolygonShape::Set reads: the first b2_maxPolygonVertices points,
// in metres, with near-duplicates welded as Box2D welds them.
std::vector<b2Vec2> usablePoints(const std::vector<sf::Vector2f>& points, float pixelsPerMeter) {
    const float weld = 0.5f * b2_linearSlop;
    std::vector<b2Vec2> usable;
    const size_t count = std::min<size_t>(points.size(), b2_maxPolygonVertices);
    for (size_t i = 0; i < count; ++i) {
        const b2Vec2 point(points[i].x / pixelsPerMeter, points[i].y / pixelsPerMeter);
        if (!point.IsValid()) {
            continue;
        }
        const bool duplicate = std::any_of(usable.begin(), usable.end(), [&](const b2Vec2& other) {
            return b2DistanceSquared(point, other) < weld * weld;
        });
        if (!duplicate) {
            usable.push_back(point);
        }
    }
    return usable;
}

// Area of the convex hull (monotone chain); 0 when the points lie on a line.
float hullArea(std::vector<b2Vec2> points) {
    std::sort(points.begin(), points.end(),
              [](const b2Vec2& a, const b2Vec2& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](const b2Vec2& o, const b2Vec2& a, const b2Vec2& b) { return b2Cross(a - o, b - o); };
    std::vector<b2Vec2> hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0f) {
            --k;
        }
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0f) {
            --k;
        }
        hull[k++] = points[i];
    }
    float twiceArea = 0.0f;
    for (size_t i = 0; i + 1 < k; ++i) {
        twiceArea += b2Cross(hull[i], hull[i + 1]);
    }
    return 0.5f * std::fabs(twiceArea);
}

std::shared_ptr<b2PolygonShape> makePolygon(const std::vector<sf::Vector2f>& points) {
    const float scale = PhysicsManager::instance().pixelsPerMeter;
    auto shape = std::make_shared<b2PolygonShape>();
    if (PolygonColliderComponent::formsPolygon(points, scale)) {
        const auto usable = usablePoints(points, scale);
        shape->Set(usable.data(), static_cast<int32>(usable.size()));
    } else {
        shape->SetAsBox(1.0f, 1.0f);
    }
    return shape;
}
} // namespace

bool PolygonColliderComponent::formsPolygon(const std::vector<sf::Vector2f>& points, float pixelsPerMeter) {
    const auto usable = usablePoints(points, pixelsPerMeter);
    // Box2D needs a hull of three corners and some area to find a centroid;
    // anything thinner than its contact slop is no polygon.
    return usable.size() >= 3 && hullArea(usable) > b2_linearSlop * b2_linearSlop;
}

PolygonColliderComponent::PolygonColliderComponent(std::vector<sf::Vector2f> points, bool isSensor,
                                                   float friction, float restitution)
    : ColliderComponent(makePolygon(points), isSensor, friction, restitution),
      pointCount(static_cast<int32_t>(points.size())), points(std::move(points)) {}

void PolygonColliderComponent::drawOutline(sf::RenderTarget& target, const sf::Color& color) {
    if (points.empty()) {
        return;
    }
    sf::VertexArray outline(sf::LineStrip, points.size() + 1);
    for (size_t i = 0; i <= points.size(); ++i) {
        outline[i] = sf::Vertex(bodyToWorld(points[i % points.size()]), color);
    }
    target.draw(outline);
}
