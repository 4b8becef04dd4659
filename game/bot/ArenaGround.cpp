#include "game/bot/ArenaGround.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "physics/ColliderComponent.hpp"
#include "physics/MovingPlatformComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

void ArenaGround::collect() {
    platforms.clear();
    moving.clear();
    moveFlags.clear();
    for (const auto& object : GameObjectManager::instance().sceneObjects) {
        if (!object->hasTag("Platform") || !object->isActiveInHierarchy()) {
            continue;
        }
        const bool moves = object->getComponent<MovingPlatformComponent>() != nullptr ||
                           (object->rigidBody && object->rigidBody->bodyType == b2_kinematicBody);
        for (const auto& collider : object->getComponents<ColliderComponent>()) {
            const auto [lower, upper] = collider->getBounds();
            if (upper.x > lower.x && upper.y > lower.y) {
                if (moves) {
                    moving.emplace_back(collider, platforms.size());
                }
                platforms.emplace_back(lower, upper - lower);
                moveFlags.push_back(moves);
            }
        }
    }
}

void ArenaGround::refresh() {
    for (const auto& [observed, index] : moving) {
        if (auto collider = observed.lock()) {
            const auto [lower, upper] = collider->getBounds();
            platforms[index] = sf::FloatRect(lower, upper - lower);
        }
    }
}

bool ArenaGround::moves(size_t index) const {
    return index < moveFlags.size() && moveFlags[index];
}

bool ArenaGround::groundBelow(float x, float fromY, float limitY, float& top, bool stillOnly) const {
    bool found = false;
    for (size_t i = 0; i < platforms.size(); ++i) {
        const sf::FloatRect& rect = platforms[i];
        if ((stillOnly && moveFlags[i]) || x < rect.left || x > rect.left + rect.width || rect.top < fromY ||
            rect.top > limitY) {
            continue;
        }
        if (!found || rect.top < top) {
            top = rect.top;
            found = true;
        }
    }
    return found;
}

sf::Vector2f closestPointOn(const sf::FloatRect& rect, const sf::Vector2f& point) {
    return {std::clamp(point.x, rect.left, rect.left + rect.width),
            std::clamp(point.y, rect.top, rect.top + rect.height)};
}

namespace {
float distanceSquared(const sf::Vector2f& a, const sf::Vector2f& b) {
    const sf::Vector2f d = a - b;
    return d.x * d.x + d.y * d.y;
}
} // namespace

const sf::FloatRect* ArenaGround::nearestTop(const sf::Vector2f& point, float minTop) const {
    const sf::FloatRect* best = nullptr;
    float bestDistance = std::numeric_limits<float>::max();
    for (const auto& rect : platforms) {
        if (rect.top < minTop) {
            continue;
        }
        const sf::Vector2f onTop{std::clamp(point.x, rect.left, rect.left + rect.width), rect.top};
        const float distance = distanceSquared(onTop, point);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &rect;
        }
    }
    return best;
}

const sf::FloatRect* ArenaGround::nearest(const sf::Vector2f& point) const {
    const sf::FloatRect* best = nullptr;
    float bestDistance = std::numeric_limits<float>::max();
    for (const auto& rect : platforms) {
        const float distance = distanceSquared(closestPointOn(rect, point), point);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &rect;
        }
    }
    return best;
}

const sf::FloatRect* ArenaGround::standingOn(float x, float feetY, float halfWidth) const {
    const sf::FloatRect* best = nullptr;
    for (const auto& rect : platforms) {
        if (rect.top < feetY - 12.0f || rect.top > feetY + 16.0f || x + halfWidth < rect.left ||
            x - halfWidth > rect.left + rect.width) {
            continue;
        }
        if (!best || rect.top < best->top) {
            best = &rect;
        }
    }
    return best;
}
