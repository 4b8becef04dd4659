#include "app/Engine.hpp"

#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "level/BuiltinCreators.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/ProblemReport.hpp"

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
