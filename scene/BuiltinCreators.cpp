#include "scene/BuiltinCreators.hpp"

#include "physics/PhysicsCreators.hpp"
#include "scene/GameObjectManager.hpp"

void registerBuiltinCreators(GameObjectManager& manager) {
    // The render and physics creators join here as those components land.
    manager.registerCreator("rigidbody", createRigidBodyComponent);
    manager.registerCreator("box", createBoxColliderComponent);
    manager.registerCreator("circle", createCircleColliderComponent);
    manager.registerCreator("polygon", createPolygonColliderComponent);
}
