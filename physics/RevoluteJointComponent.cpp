#include "physics/RevoluteJointComponent.hpp"

#include <box2d/b2_revolute_joint.h>

RevoluteJointComponent::RevoluteJointComponent(std::shared_ptr<GameObject> connectedObject,
                                               sf::Vector2f localAnchorA, sf::Vector2f localAnchorB)
    : JointComponent(std::move(connectedObject)), localAnchorA(localAnchorA), localAnchorB(localAnchorB) {}

std::shared_ptr<b2JointDef> RevoluteJointComponent::makeDefinition(b2Body* a, b2Body* b) {
    auto definition = std::make_shared<b2RevoluteJointDef>();
    const float scale = pixelsPerMeter();
    definition->Initialize(a, b, b2Vec2(anchor.x / scale, anchor.y / scale));
    if (useLocalAnchors) {
        definition->localAnchorA.Set(localAnchorA.x / scale, localAnchorA.y / scale);
        definition->localAnchorB.Set(localAnchorB.x / scale, localAnchorB.y / scale);
        definition->referenceAngle = 0.0f;
    }
    return definition;
}
