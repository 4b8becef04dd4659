#include "physics/MovingPlatformComponent.hpp"

#include "core/StateIo.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include <box2d/b2_body.h>

#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
double distanceBetween(const sf::Vector2f& a, const sf::Vector2f& b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    return std::sqrt(dx * dx + dy * dy);
}
} // namespace

MovingPlatformComponent::MovingPlatformComponent(std::vector<sf::Vector2f> path, float pixelsPerSecond,
                                                 bool loops)
    : loop(loops), speed(pixelsPerSecond), points(std::move(path)) {
    assert(points.size() >= 2 && "a platform's path needs two points");
    if (loop) {
        points.push_back(points.front());
    }
    lengths.push_back(0.0);
    for (size_t i = 1; i < points.size(); ++i) {
        lengths.push_back(lengths.back() + distanceBetween(points[i - 1], points[i]));
    }
}

double MovingPlatformComponent::roundLength() const {
    return loop ? lengths.back() : 2.0 * lengths.back();
}

sf::Vector2f MovingPlatformComponent::pointAt(double distance) const {
    const double round = roundLength();
    if (round <= 0.0) {
        return points.front();
    }
    double along = std::fmod(distance, round);
    if (along < 0.0) {
        along += round;
    }
    // The way back retraces the path.
    if (!loop && along > lengths.back()) {
        along = round - along;
    }
    const auto after = std::upper_bound(lengths.begin(), lengths.end(), along);
    if (after == lengths.end()) {
        return points.back();
    }
    const size_t next = static_cast<size_t>(after - lengths.begin());
    const size_t previous = next - 1;
    const double leg = lengths[next] - lengths[previous];
    const double t = leg > 0.0 ? (along - lengths[previous]) / leg : 0.0;
    const sf::Vector2f& a = points[previous];
    const sf::Vector2f& b = points[next];
    return {static_cast<float>(a.x + (b.x - a.x) * t), static_cast<float>(a.y + (b.y - a.y) * t)};
}

double MovingPlatformComponent::nearestDistance(const sf::Vector2f& position) const {
    double best = 0.0;
    double bestSquared = -1.0;
    for (size_t i = 1; i < points.size(); ++i) {
        const double ax = points[i - 1].x;
        const double ay = points[i - 1].y;
        const double dx = points[i].x - ax;
        const double dy = points[i].y - ay;
        const double legSquared = dx * dx + dy * dy;
        double t = legSquared > 0.0 ? ((position.x - ax) * dx + (position.y - ay) * dy) / legSquared : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double ox = ax + dx * t - position.x;
        const double oy = ay + dy * t - position.y;
        const double squared = ox * ox + oy * oy;
        if (bestSquared < 0.0 || squared < bestSquared) {
            bestSquared = squared;
            best = lengths[i - 1] + (lengths[i] - lengths[i - 1]) * t;
        }
    }
    return best;
}

void MovingPlatformComponent::fixedUpdate(float step, float) {
    auto owner = getGameObject();
    if (!owner || !owner->rigidBody || step <= 0.0f) {
        return;
    }
    b2Body* body = owner->rigidBody->liveBody();
    if (!body || body->GetType() == b2_dynamicBody) {
        return;
    }
    const auto& physics = PhysicsManager::instance();
    if (!started) {
        // Before any world step sees it: onto the path, where it stands nearest.
        started = true;
        if (body->GetType() == b2_staticBody) {
            body->SetType(b2_kinematicBody);
            owner->rigidBody->bodyType = b2_kinematicBody;
        }
        startDistance = nearestDistance(physics.toPixels(body->GetPosition()));
        // The object's transform follows the body in the rigid body's own step.
        body->SetTransform(physics.toMeters(pointAt(startDistance)), body->GetAngle());
    }
    ++steps;
    const double travelled = startDistance + static_cast<double>(steps) * step * speed;
    const b2Vec2 target = physics.toMeters(pointAt(travelled));
    const b2Vec2 now = body->GetPosition();
    body->SetLinearVelocity(b2Vec2((target.x - now.x) / step, (target.y - now.y) / step));
    body->SetAngularVelocity(0.0f);
}

void MovingPlatformComponent::snapshotState(StateIo& io) {
    io.value(startDistance);
    io.value(steps);
    io.value(started);
}
