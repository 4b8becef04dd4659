#include "physics/ContactListener.hpp"

#include <box2d/b2_contact.h>
#include <box2d/b2_fixture.h>

#include "physics/ColliderComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
std::shared_ptr<GameObject> objectOf(b2Fixture* fixture) {
    auto* collider = ownerFrom<ColliderComponent>(fixture->GetUserData().pointer);
    return collider ? collider->getGameObject() : nullptr;
}
} // namespace

void PhysicsManager::ContactListener::BeginContact(b2Contact* contact) {
    dispatch(contact, true);
}

void PhysicsManager::ContactListener::EndContact(b2Contact* contact) {
    dispatch(contact, false);
}

void PhysicsManager::ContactListener::dispatch(b2Contact* contact, bool begin) {
    b2Fixture* fixtureA = contact->GetFixtureA();
    b2Fixture* fixtureB = contact->GetFixtureB();
    if (fixtureA->GetUserData().pointer == 0 || fixtureB->GetUserData().pointer == 0) {
        return;
    }
    // Held for the whole dispatch: a handler may drop the last other reference.
    auto a = objectOf(fixtureA);
    auto b = objectOf(fixtureB);
    if (!a || !b || !b->isActiveInHierarchy() || !a->isActiveInHierarchy()) {
        return;
    }
    const bool sensorA = fixtureA->IsSensor();
    const bool sensorB = fixtureB->IsSensor();
    if (sensorA != sensorB) {
        if (begin) {
            a->onTriggerEnter(b);
            b->onTriggerEnter(a);
        } else {
            a->onTriggerExit(b);
            b->onTriggerExit(a);
        }
    } else if (!sensorA) {
        if (begin) {
            a->onCollisionEnter(b);
            b->onCollisionEnter(a);
        } else {
            a->onCollisionExit(b);
            b->onCollisionExit(a);
        }
    }
}
