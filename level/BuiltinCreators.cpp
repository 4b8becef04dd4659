#include "level/BuiltinCreators.hpp"

#include "level/MovingPlatformCreator.hpp"
#include "physics/PhysicsCreators.hpp"
#include "render/RenderCreators.hpp"
#include "scene/GameObjectManager.hpp"

void registerBuiltinCreators(GameObjectManager& manager) {
    manager.registerCreator("sprite", createSpriteRenderer);
    manager.registerCreator("camera", createCamera);
    manager.registerCreator("rigidbody", createRigidBodyComponent);
    manager.registerCreator("box", createBoxColliderComponent);
    manager.registerCreator("circle", createCircleColliderComponent);
    manager.registerCreator("polygon", createPolygonColliderComponent);
    manager.registerCreator("stage camera controller", createStageCameraController);
    manager.registerCreator("moving platform", createMovingPlatform);
}
