#include "scene/PhysicsHooks.hpp"

#include "physics/ColliderComponent.hpp"
#include "physics/JointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

void releasePhysicsAttachments(GameObject& object) {
    // Joints first: they hang on the bodies the fixtures belong to.
    for (auto& joint : object.getComponents<JointComponent>()) {
        joint->destroyJoint();
    }
    for (auto& collider : object.getComponents<ColliderComponent>()) {
        collider->detachFixture();
    }
}

void releaseRigidBodyPhysics(GameObject& object) {
    if (object.rigidBody) {
        object.rigidBody->releaseBody();
    }
}

void markRigidBodyMoved(GameObject& object) {
    if (object.rigidBody) {
        object.rigidBody->transformChanged = true;
    }
}

std::shared_ptr<Component> rigidBodyAsComponent(const std::shared_ptr<RigidBodyComponent>& body) {
    return body;
}
