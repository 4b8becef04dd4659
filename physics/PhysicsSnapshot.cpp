#include "physics/PhysicsSnapshot.hpp"

#include <box2d/b2_body.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_joint.h>

#include "core/Report.hpp"
#include "physics/ColliderComponent.hpp"
#include "physics/JointComponent.hpp"
#include "physics/OwnerCell.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"

size_t PhysicsSnapshot::byteSize() const {
    return world.byteSize() +
           (bodyOwners.size() + fixtureOwners.size() + jointOwners.size()) * sizeof(void*) +
           bodyLayers.size() * sizeof(bodyLayers.front());
}

void savePhysics(PhysicsSnapshot& into) {
    auto& physics = PhysicsManager::instance();
    // Destructions waiting for the flush would be bodies no component owns.
    physics.flushPendingDestructions();
    into.bodyOwners.clear();
    into.bodyLayers.clear();
    into.fixtureOwners.clear();
    into.jointOwners.clear();
    if (!physics.world) {
        into.world = WorldSnapshot();
        return;
    }
    saveWorld(*physics.world, into.world);
    for (const auto& saved : into.world.bodies) {
        auto* owner = ownerFrom<RigidBodyComponent>(saved.body->GetUserData().pointer);
        into.bodyOwners.push_back(owner);
        into.bodyLayers.push_back(owner ? owner->layer : nullptr);
        for (b2Fixture* fixture = saved.body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
            into.fixtureOwners.push_back(ownerFrom<ColliderComponent>(fixture->GetUserData().pointer));
        }
    }
    for (const auto& saved : into.world.joints) {
        into.jointOwners.push_back(ownerFrom<JointComponent>(saved.joint->GetUserData().pointer));
    }
}

bool restorePhysics(const PhysicsSnapshot& snapshot) {
    auto& physics = PhysicsManager::instance();
    if (!physics.world) {
        return snapshot.world.bodies.empty();
    }
    physics.flushPendingDestructions();
    const auto& world = snapshot.world;
    WorldObjects live;
    live.bodies.reserve(world.bodies.size());
    for (size_t i = 0; i < world.bodies.size(); ++i) {
        RigidBodyComponent* owner = snapshot.bodyOwners[i];
        if (owner && !owner->liveBody()) {
            owner->remakeBody(snapshot.bodyLayers[i]);
        }
        live.bodies.push_back(owner ? owner->liveBody() : world.bodies[i].body);
    }
    // A body's fixtures in the order they were made: the list has the newest first.
    for (const auto& saved : world.bodies) {
        for (uint32_t k = saved.fixtureCount; k-- > 0;) {
            ColliderComponent* collider = snapshot.fixtureOwners[saved.firstFixture + k];
            if (collider && !collider->liveFixture()) {
                collider->init();
            }
        }
    }
    live.joints.reserve(world.joints.size());
    for (size_t i = 0; i < world.joints.size(); ++i) {
        JointComponent* owner = snapshot.jointOwners[i];
        if (owner && !owner->liveJoint()) {
            owner->createJoint();
        }
        live.joints.push_back(owner ? owner->liveJoint() : world.joints[i].joint);
    }
    return restoreWorld(*physics.world, world, live);
}
