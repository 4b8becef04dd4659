#pragma once

#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Transformable.hpp>

#include "scene/Component.hpp"

// Where a game object is: local position (pixels, y down), rotation (degrees),
// scale and origin relative to the parent object, if any. Every game object
// has exactly one, as the first entry of its components.
class TransformComponent : public Component {
public:
    // Unlike other components a transform stays active whatever its owner's state.
    void init() override;

    sf::Vector2f getLocalPosition() const { return transformable.getPosition(); }
    void setPosition(float x, float y);
    void setPosition(const sf::Vector2f& position);
    // Tells the owner's rigid body, if any, to move to this transform at its
    // next fixed update. `setPosition` calls it; the other setters do not.
    void markMoved();

    // World position in pixels.
    sf::Vector2f getPosition() const;
    // World rotation in degrees.
    float getRotation() const;
    // Local rotation in degrees.
    void setRotation(float degrees) { transformable.setRotation(degrees); }
    float getLocalRotation() const { return transformable.getRotation(); }
    sf::Vector2f getScale() const { return transformable.getScale(); }
    void setScale(float x, float y) { transformable.setScale(x, y); }
    void setScale(const sf::Vector2f& scale) { transformable.setScale(scale); }
    sf::Vector2f getOrigin() const { return transformable.getOrigin(); }
    void setOrigin(float x, float y) { transformable.setOrigin(x, y); }
    sf::Vector2f getWorldScale() const;
    // Local to world: the parent's world transform times this local transform.
    sf::Transform getWorldTransform() const;
    const sf::Transform& getLocalTransform() const { return transformable.getTransform(); }

    // Position, rotation, scale, origin and the mark of a move.
    void snapshotState(StateIo& io) override;

    sf::Transformable transformable;
    // Set by `markMoved` while the owner has a rigid body, which moves its
    // body to the transform at its next fixed update and clears the mark.
    bool movedFromOutside = false;

private:
    // The owner's transform component when the owner has a live parent.
    std::shared_ptr<TransformComponent> parentTransform() const;
    // Whether `parentTransform` would give one.
    bool followsParent() const;
};
