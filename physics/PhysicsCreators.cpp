#include "physics/PhysicsCreators.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include <box2d/b2_body.h>

#include "core/Report.hpp"
#include "physics/BoxColliderComponent.hpp"
#include "physics/CircleColliderComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/PolygonColliderComponent.hpp"
#include "physics/RigidBodyComponent.hpp"

namespace {
// The positional key's value if present, else the first named key present, else the default.
std::string setting(const PropertyMap& properties, const std::string& positional,
                    std::initializer_list<const char*> named, const std::string& fallback) {
    if (auto found = properties.find(positional); found != properties.end()) {
        return found->second;
    }
    for (const char* key : named) {
        if (auto found = properties.find(key); found != properties.end()) {
            return found->second;
        }
    }
    return fallback;
}

// std::stof, refusing what it reads as infinite or not a number: no size,
// offset or mass can be either.
float parse(const std::string& text) {
    const float value = std::stof(text);
    if (!std::isfinite(value)) {
        throw std::invalid_argument("not a finite number: " + text);
    }
    return value;
}

float number(const PropertyMap& properties, const std::string& positional,
             std::initializer_list<const char*> named, const std::string& fallback) {
    return parse(setting(properties, positional, named, fallback));
}

// Only "true" and "1" switch a flag on.
bool flag(const PropertyMap& properties, const std::string& positional, const char* named) {
    const std::string text = setting(properties, positional, {named}, "false");
    return text == "true" || text == "1";
}

int32_t bodyTypeFrom(const std::string& text) {
    if (text == "dynamic") {
        return b2_dynamicBody;
    }
    if (text == "kinematic") {
        return b2_kinematicBody;
    }
    return b2_staticBody;
}
} // namespace

std::shared_ptr<Component> createRigidBodyComponent(std::shared_ptr<GameObject> gameObject,
                                                    PropertyMap properties) {
    const int32_t bodyType = bodyTypeFrom(setting(properties, "0", {"type"}, "static"));
    const float mass = number(properties, "1", {"mass"}, "1");
    if (mass < 0.0f) {
        // It would become negative fixture densities.
        throw std::invalid_argument("negative mass: " + setting(properties, "1", {"mass"}, "1"));
    }
    const std::string& layerName = properties.at("#layer");
    const std::string letters = setting(properties, "2", {"constrains"}, "");
    int32_t constraints = 0;
    if (letters.find('r') != std::string::npos) {
        constraints |= RigidBodyComponent::lockRotation;
    }
    if (letters.find('x') != std::string::npos) {
        constraints |= RigidBodyComponent::lockX;
    }
    if (letters.find('y') != std::string::npos) {
        constraints |= RigidBodyComponent::lockY;
    }

    auto rigidBody = addComponent<RigidBodyComponent>(gameObject, bodyType, mass);
    if (!rigidBody) {
        return nullptr;
    }
    // An unknown layer keeps the body on "_default", still listed there, so
    // later changes to that layer's mask reach it.
    if (auto layer = PhysicsManager::instance().getCollisionLayer(layerName)) {
        rigidBody->setCollisionLayer(layer);
    }
    rigidBody->constraints = constraints;
    if (b2Body* body = rigidBody->liveBody()) {
        body->SetFixedRotation((constraints & RigidBodyComponent::lockRotation) != 0);
        rigidBody->lockedPosition = body->GetPosition();
    }
    return rigidBody;
}

std::shared_ptr<Component> createBoxColliderComponent(std::shared_ptr<GameObject> gameObject,
                                                      PropertyMap properties) {
    const float objectWidth = parse(properties.at("#width"));
    const float objectHeight = parse(properties.at("#height"));
    const float xOffset = number(properties, "0", {"xoff"}, "0");
    const float yOffset = number(properties, "1", {"yoff"}, "0");
    const std::string widthText = setting(properties, "2", {"width"}, "auto");
    const std::string heightText = setting(properties, "3", {"height"}, "auto");
    const float width = widthText == "auto" ? objectWidth : parse(widthText);
    const float height = heightText == "auto" ? objectHeight : parse(heightText);
    const float angle = number(properties, "4", {"angle", "rotation"}, "0");
    const bool trigger = flag(properties, "5", "trigger");
    const float friction = number(properties, "6", {"friction"}, "0");
    const float restitution = number(properties, "7", {"bounciness"}, "0");
    return addComponent<BoxColliderComponent>(gameObject, sf::Vector2f(xOffset, yOffset),
                                              sf::Vector2f(width, height), angle, trigger, friction,
                                              restitution);
}

std::shared_ptr<Component> createCircleColliderComponent(std::shared_ptr<GameObject> gameObject,
                                                         PropertyMap properties) {
    const float xOffset = number(properties, "0", {"xoff"}, "-0.5");
    const float yOffset = number(properties, "1", {"yoff"}, "-0.5");
    const std::string radiusText = setting(properties, "2", {"radius"}, "auto");
    const float radius = radiusText == "auto" ? 0.5f * std::min(parse(properties.at("#width")),
                                                                parse(properties.at("#height")))
                                              : parse(radiusText);
    const bool trigger = flag(properties, "3", "trigger");
    const float friction = number(properties, "4", {"friction"}, "0");
    const float restitution = number(properties, "5", {"bounciness"}, "0");
    return addComponent<CircleColliderComponent>(gameObject, radius, friction, trigger, restitution, xOffset,
                                                 yOffset);
}

std::shared_ptr<Component> createPolygonColliderComponent(std::shared_ptr<GameObject> gameObject,
                                                          PropertyMap properties) {
    std::vector<sf::Vector2f> points;
    for (size_t i = 0;; ++i) {
        const auto x = properties.find(std::to_string(i) + "x");
        const auto y = properties.find(std::to_string(i) + "y");
        if (x == properties.end() || y == properties.end()) {
            break;
        }
        points.emplace_back(parse(x->second), parse(y->second));
    }
    const bool trigger = flag(properties, "0", "trigger");
    const float friction = number(properties, "1", {"friction"}, "0");
    const float restitution = number(properties, "2", {"bounciness"}, "0");
    if (!PolygonColliderComponent::formsPolygon(points, PhysicsManager::instance().pixelsPerMeter)) {
        auto name = properties.find("#name");
        reportProblem(
            "Polygon collider of object '%s' has fewer than three usable points; using a 2 x 2 m box",
            name != properties.end() ? name->second.c_str() : "");
    }
    return addComponent<PolygonColliderComponent>(gameObject, std::move(points), trigger, friction,
                                                  restitution);
}
