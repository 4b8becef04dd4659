#include "physics/WeldJointComponent.hpp"

#include <box2d/b2_weld_joint.h>

WeldJointComponent::WeldJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f anchor)
    : JointComponent(std::move(connectedObject)), anchor(anchor) {}

std::shared_ptr<b2JointDef> WeldJointComponent::makeDefinition(b2Body* a, b2Body* b) {
    auto definition = std::make_shared<b2WeldJointDef>();
    // Stiffness and damping stay 0: a rigid weld.
    definition->Initialize(a, b, toMeters(anchor));
    return definition;
}
