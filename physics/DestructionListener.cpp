#include "physics/DestructionListener.hpp"

#include <box2d/b2_fixture.h>
#include <box2d/b2_joint.h>

#include "physics/ColliderComponent.hpp"
#include "physics/JointComponent.hpp"

void PhysicsManager::DestructionListener::SayGoodbye(b2Joint* joint) {
    // Queued ones carry no owner any more, but must leave the queue all the same.
    PhysicsManager::instance().dropPending(joint);
    if (auto* owner = ownerFrom<JointComponent>(joint->GetUserData().pointer)) {
        owner->forgetJoint();
    }
}

void PhysicsManager::DestructionListener::SayGoodbye(b2Fixture* fixture) {
    PhysicsManager::instance().dropPending(fixture);
    if (auto* owner = ownerFrom<ColliderComponent>(fixture->GetUserData().pointer)) {
        owner->forgetFixture();
    }
}
