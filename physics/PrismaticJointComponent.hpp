#pragma once

#include <SFML/System/Vector2.hpp>
#include <box2d/b2_prismatic_joint.h>

#include "physics/OneAxisJointComponent.hpp"

// A slider: body B moves along an axis fixed in body A, without turning
// relative to it.
//
// Its axis is B's translation along `axis`: limits in metres, motor speed in
// metres per second, motor force in newtons.
class PrismaticJointComponent : public OneAxisJointComponent<b2PrismaticJoint> {
public:
    // localAnchorA, localAnchorB: points in each body's own frame, metres
    // (unlike the other joints); axis: sliding direction in A's frame, any length.
    PrismaticJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f localAnchorA,
                            sf::Vector2f localAnchorB, sf::Vector2f axis);

    // Most force the motor may use to reach its speed, newtons (0 or more).
    void setMaxMotorForce(float force);

    // World point used when the local anchors are not (pixels).
    sf::Vector2f anchor{0.0f, 0.0f};
    sf::Vector2f axis;
    sf::Vector2f localAnchorA;
    sf::Vector2f localAnchorB;
    bool useLocalAnchors = true;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
    void writeSettings(b2JointDef& definition) override;
};
