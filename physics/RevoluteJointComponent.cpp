#include "physics/RevoluteJointComponent.hpp"

RevoluteJointComponent::RevoluteJointComponent(std::shared_ptr<GameObject> connectedObject,
                                               sf::Vector2f localAnchorA, sf::Vector2f localAnchorB)
    : OneAxisJointComponent(std::move(connectedObject)), localAnchorA(localAnchorA),
      localAnchorB(localAnchorB) {}

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

void RevoluteJointComponent::writeSettings(b2JointDef& definition) {
    auto& revolute = static_cast<b2RevoluteJointDef&>(definition);
    revolute.lowerAngle = lowerLimit;
    revolute.upperAngle = upperLimit;
    revolute.enableLimit = limitEnabled;
    revolute.motorSpeed = motorSpeed;
    revolute.maxMotorTorque = maxMotorEffort;
    revolute.enableMotor = motorEnabled;
}

void RevoluteJointComponent::setMaxMotorTorque(float torque) {
    setMaxMotorEffort(torque, &b2RevoluteJoint::SetMaxMotorTorque);
}
