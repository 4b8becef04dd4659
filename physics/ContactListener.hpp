#pragma once

#include <box2d/b2_world_callbacks.h>

#include "physics/PhysicsManager.hpp"

// Maps Box2D contacts to the game objects that own the two fixtures: a solid
// pair begins and ends collisions, a sensor against a solid fixture begins and
// ends triggers, two sensors nothing. Objects inactive in their hierarchy hear
// nothing. Runs inside b2World::Step (and DestroyBody/DestroyFixture), when
// bodies must not be created or destroyed directly.
class PhysicsManager::ContactListener : public b2ContactListener {
public:
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;

private:
    static void dispatch(b2Contact* contact, bool begin);
};
