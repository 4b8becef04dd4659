#include "physics/RevoluteJointComponent.hpp"

#include <box2d/b2_revolute_joint.h>

RevoluteJointComponent::RevoluteJointComponent(std::shared_ptr<GameObject> connectedObject,
                                               sf::Vector2f localAnchorA, sf::Vector2f localAnchorB)
    : JointComponent(std::move(connectedObject)), localAnchorA(localAnchorA), localAnchorB(localAnchorB) {}

std::shared_ptr<b2JointDef> RevoluteJointComponent::makeDefinition(b2Body* a, b2Body* b) {
    auto definition = std::make_shared<b2RevoluteJointDef>();
    definition->Initialize(a, b, toMeters(anchor));
    if (useLocalAnchors) {
        definition->localAnchorA = toMeters(localAnchorA);
        definition->localAnchorB = toMeters(localAnchorB);
        definition->referenceAngle = 0.0f;
    }
    return definition;
}
