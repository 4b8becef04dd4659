#include "physics/JointComponent.hpp"

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
b2Body* bodyOf(const std::shared_ptr<GameObject>& object) {
    return object && object->rigidBody ? object->rigidBody->liveBody() : nullptr;
}

// Joints are made in the current world only; a body left over from a
// replaced world that someone keeps alive does not count.
bool inCurrentWorld(const std::shared_ptr<GameObject>& object) {
    return object->rigidBody->bodyWorld() == PhysicsManager::instance().world;
}
} // namespace

JointComponent::JointComponent(std::shared_ptr<GameObject> connectedObject)
    : connectedObject(std::move(connectedObject)) {}

JointComponent::~JointComponent() {
    destroyJoint();
}

b2Vec2 JointComponent::toMeters(sf::Vector2f pixels) {
    return PhysicsManager::instance().toMeters(pixels);
}

b2Body* JointComponent::ownBody() const {
    return bodyOf(getGameObject());
}

b2Body* JointComponent::connectedBody() const {
    return bodyOf(connectedObject.lock());
}

void JointComponent::init() {
    Component::init();
    b2Body* a = ownBody();
    b2Body* b = connectedBody();
    // Without both bodies no definition is kept: the component stays inert.
    if (!a || !b || a == b) {
        return;
    }
    jointDef = makeDefinition(a, b);
    createJoint();
}

void JointComponent::writeSettings(b2JointDef&) {}

bool JointComponent::isEnabled() {
    liveJoint();
    return enabled && gameObjectActive && bodyA && bodyB;
}

b2Joint* JointComponent::liveJoint() {
    if (joint && world.expired()) {
        forgetJoint();
    }
    return joint;
}

void JointComponent::forgetJoint() {
    joint = nullptr;
    delete ownerCell;
    ownerCell = nullptr;
    bodyA = nullptr;
    bodyB = nullptr;
    world.reset();
}

void JointComponent::createJoint() {
    if (!jointDef) {
        return;
    }
    auto own = getGameObject();
    auto other = connectedObject.lock();
    b2Body* a = bodyOf(own);
    b2Body* b = bodyOf(other);
    if (!a || !b || a == b || !inCurrentWorld(own) || !inCurrentWorld(other)) {
        return;
    }
    if (liveJoint()) {
        destroyJoint();
    }
    auto home = PhysicsManager::instance().world;
    if (home->IsLocked()) {
        return;
    }
    bodyA = a;
    bodyB = b;
    // The definition keeps its anchors and angles in each body's own frame;
    // the bodies are always the current ones, never ones that may be gone.
    jointDef->bodyA = a;
    jointDef->bodyB = b;
    jointDef->collideConnected = collideConnected;
    writeSettings(*jointDef);
    ownerCell = new OwnerCell<JointComponent>{this};
    jointDef->userData.pointer = reinterpret_cast<uintptr_t>(ownerCell);
    joint = home->CreateJoint(jointDef.get());
    world = home;
}

void JointComponent::destroyJoint() {
    b2Joint* dying = liveJoint();
    auto home = world.lock();
    forgetJoint();
    if (dying && home) {
        dying->GetUserData().pointer = 0;
        // Refused by Box2D inside a step: the joint, now unowned, then goes
        // with its bodies.
        home->DestroyJoint(dying);
    }
}
