#pragma once

#include <SFML/System/Vector2.hpp>

#include "physics/JointComponent.hpp"

// A hinge: pins a point of body A to a point of body B, free to turn, with a
// reference angle of 0 (the bodies' current angles do not matter).
class RevoluteJointComponent : public JointComponent {
public:
    // localAnchorA, localAnchorB: points in each body's own frame, pixels.
    RevoluteJointComponent(std::shared_ptr<GameObject> connectedObject, sf::Vector2f localAnchorA,
                           sf::Vector2f localAnchorB);

    // World point used when the local anchors are not (pixels).
    sf::Vector2f anchor{0.0f, 0.0f};
    sf::Vector2f localAnchorA;
    sf::Vector2f localAnchorB;
    bool useLocalAnchors = true;

protected:
    std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) override;
};
