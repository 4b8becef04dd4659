#pragma once

#include <memory>

class Component;
class GameObject;
class RigidBodyComponent;

// The few places where the scene model reaches into the physics components
// that live on its objects. Defined beside those components.

// Destroys the object's physics joints, then its fixtures (called at teardown,
// before the rigid body goes).
void releasePhysicsAttachments(GameObject& object);
// Lets the object's rigid body give up its Box2D body (it is being removed).
void releaseRigidBodyPhysics(GameObject& object);
// Asks the object's rigid body, if any, to move to the transform at its next fixed update.
void markRigidBodyMoved(GameObject& object);
std::shared_ptr<Component> rigidBodyAsComponent(const std::shared_ptr<RigidBodyComponent>& body);
