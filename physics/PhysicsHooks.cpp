#include "scene/PhysicsHooks.hpp"

#include "scene/GameObject.hpp"

// Until the physics components exist, game objects hold no rigid bodies,
// joints or fixtures, so there is nothing to release or move.
void releasePhysicsAttachments(GameObject&) {}
void releaseRigidBodyPhysics(GameObject&) {}
void markRigidBodyMoved(GameObject&) {}
std::shared_ptr<Component> rigidBodyAsComponent(const std::shared_ptr<RigidBodyComponent>&) { return nullptr; }
