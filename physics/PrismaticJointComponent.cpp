#include "physics/PrismaticJointComponent.hpp"

PrismaticJointComponent::PrismaticJointComponent(std::shared_ptr<GameObject> connectedObject,
                                                 sf::Vector2f localAnchorA, sf::Vector2f localAnchorB,
                                                 sf::Vector2f axis)
    : OneAxisJointComponent(std::move(connectedObject)), axis(axis), localAnchorA(localAnchorA),
      localAnchorB(localAnchorB) {}

std::shared_ptr<b2JointDef> PrismaticJointComponent::makeDefinition(b2Body* a, b2Body* b) {
    auto definition = std::make_shared<b2PrismaticJointDef>();
    definition->Initialize(a, b, toMeters(anchor), toMeters(axis));
    if (useLocalAnchors) {
        // Metres already; Box2D normalises the axis. The reference angle stays
        // the one Initialize measured.
        definition->localAnchorA.Set(localAnchorA.x, localAnchorA.y);
        definition->localAnchorB.Set(localAnchorB.x, localAnchorB.y);
        definition->localAxisA.Set(axis.x, axis.y);
    }
    return definition;
}

void PrismaticJointComponent::writeSettings(b2JointDef& definition) {
    auto& prismatic = static_cast<b2PrismaticJointDef&>(definition);
    prismatic.lowerTranslation = lowerLimit;
    prismatic.upperTranslation = upperLimit;
    prismatic.enableLimit = limitEnabled;
    prismatic.motorSpeed = motorSpeed;
    prismatic.maxMotorForce = maxMotorEffort;
    prismatic.enableMotor = motorEnabled;
}

void PrismaticJointComponent::setMaxMotorForce(float force) {
    setMaxMotorEffort(force, &b2PrismaticJoint::SetMaxMotorForce);
}
