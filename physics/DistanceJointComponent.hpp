#pragma once

#include <optional>

#include <SFML/System/Vector2.hpp>

#include "physics/JointComponent.hpp"

class b2DistanceJoint;

// Keeps two points of the bodies at the distance they have when the joint is
// made (the rest length). Minimum and maximum lengths widen that into a
// range; they are kept in the component, apply at once to a live joint, and a
// joint made again by `createJoint` starts with them.
class DistanceJointComponent : public JointComponent {
public:
    // anchorA, anchorB: world points on the own and the connected body, pixels.
    DistanceJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f anchorA,
                           sf::Vector2f anchorB);

    // Shortest and longest allowed distance of the anchors, metres (0 or
    // more; non-finite values are ignored). A minimum above the maximum
    // raises the maximum with it, a maximum below the minimum lowers the
    // minimum with it.
    void setMinLength(float metres);
    void setMaxLength(float metres);

    sf::Vector2f anchorA;
    sf::Vector2f anchorB;
    // Metres; empty means the rest length. Change them through the
    // operations above so a live joint follows.
    std::optional<float> minLength;
    std::optional<float> maxLength;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
    void writeSettings(b2JointDef& definition) override;

private:
    // Gives the live joint, if any, the component's range.
    void applyLengths();
};
