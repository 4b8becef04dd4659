#pragma once

#include <SFML/System/Vector2.hpp>

#include "physics/JointComponent.hpp"

// Glues the two bodies rigidly at a world point.
class WeldJointComponent : public JointComponent {
public:
    // anchor: world point, pixels.
    WeldJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f anchor);

    sf::Vector2f anchor;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
};
