#include "scene/TransformComponent.hpp"

#include <algorithm>
#include <cmath>

#include "core/StateIo.hpp"
#include "scene/GameObject.hpp"

namespace {
constexpr float degreesPerRadian = 360.0f / (2.0f * 3.14159265358979f);

// Rounding can push a cosine just past +-1; acos would then give NaN.
float safeAcos(float value) {
    return std::acos(std::clamp(value, -1.0f, 1.0f));
}
} // namespace

void TransformComponent::init() {}

void TransformComponent::setPosition(float x, float y) {
    transformable.setPosition(x, y);
    markMoved();
}

void TransformComponent::setPosition(const sf::Vector2f& position) {
    setPosition(position.x, position.y);
}

void TransformComponent::markMoved() {
    const GameObject* owner = peekGameObject();
    if (owner && owner->rigidBody) {
        movedFromOutside = true;
    }
}

std::shared_ptr<TransformComponent> TransformComponent::parentTransform() const {
    auto owner = gameObject.lock();
    if (!owner) {
        return nullptr;
    }
    auto parent = owner->parent.lock();
    return parent ? parent->transform : nullptr;
}

bool TransformComponent::followsParent() const {
    // Most objects have no parent: told without touching a reference count.
    const GameObject* owner = peekGameObject();
    if (!owner || owner->parent.expired()) {
        return false;
    }
    return parentTransform() != nullptr;
}

sf::Transform TransformComponent::getWorldTransform() const {
    if (gameObject.expired()) {
        return sf::Transform::Identity;
    }
    if (followsParent()) {
        return parentTransform()->getWorldTransform() * transformable.getTransform();
    }
    return transformable.getTransform();
}

sf::Vector2f TransformComponent::getPosition() const {
    if (!followsParent()) {
        return transformable.getPosition();
    }
    const sf::Transform world = getWorldTransform();
    const float* m = world.getMatrix();
    return {m[12], m[13]};
}

sf::Vector2f TransformComponent::getWorldScale() const {
    if (!followsParent()) {
        return transformable.getScale();
    }
    auto parent = parentTransform();
    if (gameObject.lock()->rigidBody) {
        sf::Vector2f parentScale = parent->getWorldScale();
        return {transformable.getScale().x * parentScale.x, transformable.getScale().y * parentScale.y};
    }
    // SFML's 4x4 matrix is column-major: m00 = m[0], m10 = m[1], m01 = m[4], m11 = m[5].
    const sf::Transform world = getWorldTransform();
    const float* m = world.getMatrix();
    float sx = std::hypot(m[0], m[1]);
    float determinant = m[0] * m[5] - m[4] * m[1];
    if (sx != 0.0f) {
        return {sx, determinant / sx};
    }
    float sy = std::hypot(m[4], m[5]);
    if (sy != 0.0f) {
        return {determinant / sy, sy};
    }
    return {0.0f, 0.0f};
}

float TransformComponent::getRotation() const {
    if (!followsParent()) {
        return transformable.getRotation();
    }
    auto parent = parentTransform();
    if (gameObject.lock()->rigidBody) {
        return transformable.getRotation() + parent->getRotation();
    }
    const sf::Transform world = getWorldTransform();
    const float* m = world.getMatrix();
    float sx = std::hypot(m[0], m[1]);
    float sy = std::hypot(m[4], m[5]);
    float radians = 0.0f;
    if (sx != 0.0f) {
        radians = safeAcos(m[0] / sx);
        if (m[1] < 0.0f) {
            radians = -radians;
        }
    } else if (sy != 0.0f) {
        float term = safeAcos(-m[4] / sy);
        if (m[5] < 0.0f) {
            term = -term;
        }
        radians = 3.14159265358979f / 2.0f - term;
    }
    return radians * degreesPerRadian;
}

void TransformComponent::snapshotState(StateIo& io) {
    sf::Vector2f position = transformable.getPosition();
    float rotation = transformable.getRotation();
    sf::Vector2f scale = transformable.getScale();
    sf::Vector2f origin = transformable.getOrigin();
    io.value(position);
    io.value(rotation);
    io.value(scale);
    io.value(origin);
    io.value(movedFromOutside);
    if (!io.saving()) {
        transformable.setPosition(position);
        transformable.setRotation(rotation);
        transformable.setScale(scale);
        transformable.setOrigin(origin);
    }
}
