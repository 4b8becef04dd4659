#pragma once

#include <SFML/System/Vector2.hpp>
#include <box2d/b2_revolute_joint.h>

#include "physics/OneAxisJointComponent.hpp"

// A hinge: pins a point of body A to a point of body B, free to turn, with a
// reference angle of 0 (the bodies' current angles do not matter).
//
// Its axis is B's angle relative to A: limits in radians, motor speed in
// radians per second, motor torque in newton-metres.
class RevoluteJointComponent : public OneAxisJointComponent<b2RevoluteJoint> {
public:
    // localAnchorA, localAnchorB: points in each body's own frame, pixels.
    RevoluteJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f localAnchorA,
                           sf::Vector2f localAnchorB);

    // Most torque the motor may use to reach its speed, newton-metres (0 or more).
    void setMaxMotorTorque(float torque);

    // World point used when the local anchors are not (pixels).
    sf::Vector2f anchor{0.0f, 0.0f};
    sf::Vector2f localAnchorA;
    sf::Vector2f localAnchorB;
    bool useLocalAnchors = true;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
    void writeSettings(b2JointDef& definition) override;
};
