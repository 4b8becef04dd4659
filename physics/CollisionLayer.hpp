#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <box2d/b2_fixture.h>

class RigidBodyComponent;

// A named collision layer: the Box2D filter shared by every fixture of the
// bodies on it. Layers are made and kept by the PhysicsManager and never
// removed; they outlive worlds.
class CollisionLayer {
public:
    // category: this layer's bit (0 once all 16 bits are taken); the mask
    // starts as 0xFFFF (collides with every layer).
    CollisionLayer(std::string name, uint16_t categoryBits);

    // Drops bodies whose objects are destroyed or gone, then pushes the filter
    // into the fixtures of every remaining body.
    void refreshFilters();
    // Gives every attached fixture of the body's object this layer's filter.
    void applyFilterTo(RigidBodyComponent& rigidBody);

    std::string name;
    b2Filter filter;
    // Observed, in registration order: the rigid bodies register and
    // unregister themselves (RigidBodyComponent::setCollisionLayer).
    std::vector<RigidBodyComponent*> bodies;
};
