#include "app/Engine.hpp"

#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "core/Console.hpp"
#include "core/ContentRoot.hpp"
#include "core/EventManager.hpp"
#include "core/RandomSource.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/InputManager.hpp"
#include "level/BuiltinCreators.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/TileAtlas.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/ProblemReport.hpp"
#include "widgets/ResourceCache.hpp"

void connectEngine() {
    registerBuiltinCreators(GameObjectManager::instance());
    widgets::setProblemSink([](const std::string& line) { reportProblem("%s", line.c_str()); });
    auto& states = StateManager::instance();
    states.releaseScene = [] { GameObjectManager::instance().clear(false); };
    states.afterExit = [] {
        auto& render = RenderManager::instance();
        if (render.mainCamera.expired()) {
            render.setMainCamera(nullptr);
        }
    };
}

// The order and its reasons are in the header.
void resetEngine() {
    StateManager::instance().reset();
    GuiManager::instance().reset();
    EventManager::instance().reset();
    GameObjectManager::instance().reset();
    PhysicsManager::instance().reset();
    SoundManager::instance().reset();
    RenderManager::instance().reset();
    MapStore::instance().reset();
    TileAtlas::instance().reset();
    AssetManager::instance().reset();
    widgets::ResourceCache::reset();
    InputManager::instance().reset();
    GamepadHub::instance().reset();
    RandomSource::instance().reset();
    RandomSource::forShow().reset();
    setContentRoot("");
    Console::standardOutput().endLine();
    connectEngine();
}
