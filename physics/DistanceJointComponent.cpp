#include "physics/DistanceJointComponent.hpp"

#include <algorithm>
#include <cmath>

#include <box2d/b2_distance_joint.h>

DistanceJointComponent::DistanceJointComponent(std::shared_ptr<GameObject> connectedObject,
                                               sf::Vector2f anchorA, sf::Vector2f anchorB)
    : JointComponent(std::move(connectedObject)), anchorA(anchorA), anchorB(anchorB) {}

std::shared_ptr<b2JointDef> DistanceJointComponent::makeDefinition(b2Body* a, b2Body* b) {
    auto definition = std::make_shared<b2DistanceJointDef>();
    // Sets the rest length, and both bounds, to the anchors' current distance.
    definition->Initialize(a, b, toMeters(anchorA), toMeters(anchorB));
    return definition;
}

void DistanceJointComponent::writeSettings(b2JointDef& definition) {
    auto& distance = static_cast<b2DistanceJointDef&>(definition);
    distance.minLength = minLength.value_or(distance.length);
    distance.maxLength = std::max(maxLength.value_or(distance.length), distance.minLength);
}

void DistanceJointComponent::setMinLength(float metres) {
    if (!std::isfinite(metres)) {
        return;
    }
    minLength = std::max(metres, 0.0f);
    if (maxLength && *maxLength < *minLength) {
        maxLength = minLength;
    }
    applyLengths();
}

void DistanceJointComponent::setMaxLength(float metres) {
    if (!std::isfinite(metres)) {
        return;
    }
    maxLength = std::max(metres, 0.0f);
    if (minLength && *minLength > *maxLength) {
        minLength = maxLength;
    }
    applyLengths();
}

void DistanceJointComponent::applyLengths() {
    // Only this kind's definition ever makes the joint.
    auto* live = static_cast<b2DistanceJoint*>(liveJoint());
    if (!live) {
        return;
    }
    const float shortest = minLength.value_or(live->GetLength());
    const float longest = std::max(maxLength.value_or(live->GetLength()), shortest);
    // Box2D clamps each bound against the other: open the range first so the
    // order of the two calls cannot cut either.
    live->SetMinLength(0.0f);
    live->SetMaxLength(longest);
    live->SetMinLength(shortest);
}
