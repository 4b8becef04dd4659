#pragma once

#include <SFML/System/Vector2.hpp>

#include "physics/JointComponent.hpp"

// A slider: body B moves along an axis fixed in body A, without turning
// relative to it.
class PrismaticJointComponent : public JointComponent {
public:
    // localAnchorA, localAnchorB: points in each body's own frame, metres
    // (unlike the other joints); axis: sliding direction in A's frame, any length.
    PrismaticJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f localAnchorA,
                            sf::Vector2f localAnchorB, sf::Vector2f axis);

    // World point used when the local anchors are not (pixels).
    sf::Vector2f anchor{0.0f, 0.0f};
    sf::Vector2f axis;
    sf::Vector2f localAnchorA;
    sf::Vector2f localAnchorB;
    bool useLocalAnchors = true;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
};
