#include "scene/BuiltinCreators.hpp"

#include "render/RenderCreators.hpp"
#include "scene/GameObjectManager.hpp"

void registerBuiltinCreators(GameObjectManager& manager) {
    manager.registerCreator("sprite", createSpriteRenderer);
    manager.registerCreator("camera", createCamera);
    // The physics creators join here ("rigidbody", "box", "circle", "polygon").
    manager.registerCreator("stage camera controller", createStageCameraController);
}
