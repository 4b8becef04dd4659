#pragma once

#include <memory>
#include <vector>

#include "physics/WorldSnapshot.hpp"

class CollisionLayer;
class ColliderComponent;
class JointComponent;
class RigidBodyComponent;

// The physics' part of a match snapshot: the PhysicsManager's world, and for
// every saved body, fixture and joint the component that made it, so that a
// restore can make again what was destroyed since the save (a beard cut, a
// hinge turned) before putting the world back.
//
// The components are named, not held: the scene's part of the same snapshot
// holds them (see SceneSnapshot), and the two are saved and restored together.
struct PhysicsSnapshot {
    WorldSnapshot world;
    // Index for index with `world.bodies`, `world.fixtures` and `world.joints`;
    // null for an object no component made.
    std::vector<RigidBodyComponent*> bodyOwners;
    std::vector<std::shared_ptr<CollisionLayer>> bodyLayers;
    std::vector<ColliderComponent*> fixtureOwners;
    std::vector<JointComponent*> jointOwners;

    size_t byteSize() const;
};

// Between two frames, with no destruction waiting for the next flush.
void savePhysics(PhysicsSnapshot& into);
// After the scene's objects are back (restoreScene): makes the bodies,
// then the fixtures, then the joints the components have lost since the save,
// and puts the world back. False, reported, when the world does not match.
bool restorePhysics(const PhysicsSnapshot& snapshot);
