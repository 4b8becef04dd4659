#include "physics/JointComponent.hpp"

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

#include "core/Report.hpp"
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

// A body whose solver blew up to NaN or infinity makes a joint that spreads
// it, and Box2D asserts on some of it: such a body gets no joint.
bool finitePlace(const b2Body& body) {
    return body.GetPosition().IsValid() && b2IsValid(body.GetAngle());
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
    // Nor is one made from a body that is at no number: its anchors would be.
    if (!a || !b || a == b) {
        return;
    }
    if (!finitePlace(*a) || !finitePlace(*b)) {
        reportProblem(
            "Joint on object '%s' joins a body whose position is not a finite number; it gets no joint",
            getGameObject()->name.c_str());
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
    if (joint && !ownership.live()) {
        // A replaced world took the joint with it, unannounced.
        forgetJoint();
    }
    return joint;
}

void JointComponent::forgetJoint() {
    ownership.forget();
    bodyA = nullptr;
    bodyB = nullptr;
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
    if (!finitePlace(*a) || !finitePlace(*b)) {
        reportProblem(
            "Joint on object '%s' joins a body whose position is not a finite number; it gets no joint",
            own->name.c_str());
        return;
    }
    auto home = PhysicsManager::instance().world;
    // Tested before the old joint goes: inside a step the old one stays.
    if (home->IsLocked()) {
        return;
    }
    destroyJoint();
    // The definition keeps its anchors and angles in each body's own frame;
    // the bodies are always the current ones, never ones that may be gone.
    jointDef->bodyA = a;
    jointDef->bodyB = b;
    jointDef->collideConnected = collideConnected;
    writeSettings(*jointDef);
    if (ownership.make(*this, home, [&](uintptr_t userData) {
            jointDef->userData.pointer = userData;
            return home->CreateJoint(jointDef.get());
        })) {
        bodyA = a;
        bodyB = b;
    }
}

void JointComponent::destroyJoint() {
    b2Joint* dying = ownership.release();
    bodyA = nullptr;
    bodyB = nullptr;
    if (dying) {
        PhysicsManager::instance().destroyJoint(dying);
    }
}

void JointComponent::onRemoved(GameObject&) {
    destroyJoint();
}
