#include "physics/DistanceJointComponent.hpp"

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
