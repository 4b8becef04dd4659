#pragma once

#include <SFML/System/Vector2.hpp>

#include "physics/JointComponent.hpp"

// Keeps two points of the bodies at the distance they have when the joint is
// made (minimum and maximum equal to it until game code widens them).
class DistanceJointComponent : public JointComponent {
public:
    // anchorA, anchorB: world points on the own and the connected body, pixels.
    DistanceJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f anchorA,
                           sf::Vector2f anchorB);

    sf::Vector2f anchorA;
    sf::Vector2f anchorB;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
};
