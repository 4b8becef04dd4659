#include <gtest/gtest.h>

#include "core/GameState.hpp"
#include "core/StateManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/StageCameraControllerComponent.hpp"
#include "scene/GameObjectManager.hpp"

TEST(CameraComponent, ViewFollowsPositionRotationAndScale) {
    auto object = GameObjectManager::instance().createGameObject("camera");
    auto camera = addComponent<CameraComponent>(object, 200, 100, 0, 0);
    EXPECT_EQ(camera->view->getSize(), sf::Vector2f(200, 100));
    object->transform->setPosition(100, 50);
    object->transform->setRotation(30);
    object->transform->setScale(1.3f, 0.5f);
    auto view = camera->getView();
    EXPECT_EQ(view, camera->view);
    EXPECT_FLOAT_EQ(view->getCenter().x, 100);
    EXPECT_FLOAT_EQ(view->getCenter().y, 50);
    EXPECT_FLOAT_EQ(view->getRotation(), 30);
    EXPECT_FLOAT_EQ(view->getSize().x, 260);
    EXPECT_FLOAT_EQ(view->getSize().y, 50);
    EXPECT_EQ(view->getViewport(), sf::FloatRect(0, 0, 1, 1));
}

TEST(CameraComponent, ViewCentreComesThroughTheParentAndKeepsTheOffsetInPixels) {
    auto parent = GameObjectManager::instance().createGameObject("parent");
    parent->transform->setPosition(1000, 0);
    auto object = GameObjectManager::instance().createGameObject("camera");
    object->parent = parent;
    object->transform->setScale(2, 2);
    auto camera = addComponent<CameraComponent>(object, 100, 100, 10, -20);
    EXPECT_EQ(camera->getView()->getCenter(), sf::Vector2f(1010, -20));
    object->transform->setScale(0, 0);
    EXPECT_EQ(camera->getView()->getCenter(), sf::Vector2f(1000, 0));
}

namespace {
struct EmptyState : GameState {
    EmptyState() : GameState("Empty") {}
    void enter() override {}
    void update(float, float) override {}
    void draw(float, float, sf::RenderTarget&) override {}
    void exit() override {}
};

// True when the reference was reset, not merely left to expire.
bool isCleared(const std::weak_ptr<CameraComponent>& reference) {
    const std::weak_ptr<CameraComponent> empty;
    return !reference.owner_before(empty) && !empty.owner_before(reference);
}
} // namespace

TEST(CameraComponent, LeavingAStateClearsAnExpiredMainCamera) {
    auto& render = RenderManager::instance();
    auto& states = StateManager::instance();
    states.registerState(std::make_shared<EmptyState>());
    auto object = GameObjectManager::instance().createGameObject("camera");
    auto camera = addComponent<CameraComponent>(object, 10, 10, 0, 0);
    render.setMainCamera(camera);
    states.exitCurrent();
    EXPECT_EQ(render.getMainCamera(), camera);
    object.reset();
    camera.reset();
    GameObjectManager::instance().pendingAdditions.clear();
    EXPECT_FALSE(isCleared(render.mainCamera));
    states.setState("Empty");
    EXPECT_TRUE(isCleared(render.mainCamera));
}
