#include "app/Engine.hpp"

#include "core/StateManager.hpp"
#include "level/BuiltinCreators.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

void connectEngine() {
    registerBuiltinCreators(GameObjectManager::instance());
    auto& states = StateManager::instance();
    states.releaseScene = [] { GameObjectManager::instance().clear(false); };
    states.afterExit = [] {
        auto& render = RenderManager::instance();
        if (render.mainCamera.expired()) {
            render.setMainCamera(nullptr);
        }
    };
}
