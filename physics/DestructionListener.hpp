#pragma once

#include <box2d/b2_world_callbacks.h>

#include "physics/PhysicsManager.hpp"

// Hears the fixtures and joints Box2D destroys together with their body and
// lets their components forget them, so no component keeps a pointer into
// freed Box2D memory.
class PhysicsManager::DestructionListener : public b2DestructionListener {
public:
    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture* fixture) override;
};
