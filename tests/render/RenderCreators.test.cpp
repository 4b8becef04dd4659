#include <gtest/gtest.h>

#include "common/MediaFixtures.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "render/StageCameraControllerComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class SpriteCreator : public testing::Test {
protected:
    void SetUp() override { dir.writeImage("art/block.png", 64, 32); }

    // The properties the map loader hands over for a 128 x 128 object.
    PropertyMap properties(const std::string& mode) {
        PropertyMap map{{"", "sprite"},    {"0", "art/block.png"}, {"#directory", dir.path() + "/"},
                        {"#width", "128"}, {"#height", "128"},     {"#layer", "Platforms"},
                        {"#name", "block"}};
        if (!mode.empty()) {
            map["2"] = mode;
        }
        return map;
    }

    sf::Vector2f scaleFor(const std::string& mode) {
        auto object = GameObjectManager::instance().createGameObject("block");
        EXPECT_TRUE(GameObjectManager::instance().createComponent("Sprite", object, properties(mode)));
        return object->transform->getScale();
    }

    TempDirectory dir;
};
} // namespace

// Each case of this suite expects no render layers, renderables or reported layer names yet: the test main
// resets the engine before every case.
TEST_F(SpriteCreator, ScaleModesFitTheObject) {
    EXPECT_EQ(scaleFor("max"), sf::Vector2f(4, 4));
    EXPECT_EQ(scaleFor("min"), sf::Vector2f(2, 2));
    EXPECT_EQ(scaleFor(""), sf::Vector2f(2, 2)); // "min" by default
    EXPECT_EQ(scaleFor("width"), sf::Vector2f(2, 2));
    EXPECT_EQ(scaleFor("height"), sf::Vector2f(4, 4));
    EXPECT_EQ(scaleFor("stretch"), sf::Vector2f(2, 4));
}

TEST_F(SpriteCreator, ReadsDepthLayerAndNamedKeys) {
    auto& render = RenderManager::instance();
    auto layer = render.addLayer("Platforms");
    auto object = GameObjectManager::instance().createGameObject("block");
    PropertyMap map = properties("");
    map.erase("0");
    map["path"] = "art/block.png";
    map["depth"] = "-3";
    map["scale"] = "max";
    auto component = GameObjectManager::instance().createComponent("sprite", object, map);
    auto renderer = std::dynamic_pointer_cast<SpriteRendererComponent>(component);
    ASSERT_TRUE(renderer);
    EXPECT_EQ(renderer->depth, -3);
    EXPECT_EQ(renderer->getLayer(), layer);
    EXPECT_EQ(object->transform->getScale(), sf::Vector2f(4, 4));
    EXPECT_EQ(renderer->sprite->getOrigin(), sf::Vector2f(32, 16));
    ASSERT_EQ(render.renderables.size(), 1u);
}

TEST_F(SpriteCreator, UnknownLayerLeavesTheRendererLayerlessAndIsReportedOncePerName) {
    auto& objects = GameObjectManager::instance();
    auto object = objects.createGameObject("block");
    testing::internal::CaptureStderr();
    auto renderer = std::dynamic_pointer_cast<SpriteRendererComponent>(
        objects.createComponent("sprite", object, properties("min")));
    objects.createComponent("sprite", objects.createGameObject("block"), properties("min"));
    PropertyMap elsewhere = properties("min");
    elsewhere["#layer"] = "Nowhere";
    objects.createComponent("sprite", objects.createGameObject("block"), elsewhere);
    std::fflush(stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Draw layer \"Platforms\" does not exist; renderers put on it are drawn beneath every layer\n"
              "Draw layer \"Nowhere\" does not exist; renderers put on it are drawn beneath every layer\n");
    ASSERT_TRUE(renderer);
    EXPECT_FALSE(renderer->getLayer());
}

TEST_F(SpriteCreator, BadSettingsThrowBeforeAnythingIsAdded) {
    auto& objects = GameObjectManager::instance();
    auto object = objects.createGameObject("block");
    PropertyMap noLayer = properties("");
    noLayer.erase("#layer");
    EXPECT_THROW(objects.createComponent("sprite", object, noLayer), std::out_of_range);
    PropertyMap badDepth = properties("");
    badDepth["1"] = "deep";
    EXPECT_THROW(objects.createComponent("sprite", object, badDepth), std::invalid_argument);
    PropertyMap badWidth = properties("");
    badWidth["#width"] = "wide";
    EXPECT_THROW(objects.createComponent("sprite", object, badWidth), std::invalid_argument);
    EXPECT_EQ(object->components.size(), 1u);
    EXPECT_TRUE(RenderManager::instance().renderables.empty());
}

TEST_F(SpriteCreator, MissingPictureKeepsTheScale) {
    auto object = GameObjectManager::instance().createGameObject("block");
    PropertyMap map = properties("max");
    map["0"] = "art/none.png";
    testing::internal::CaptureStderr();
    auto component = GameObjectManager::instance().createComponent("sprite", object, map);
    std::fflush(stderr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Couldn't load texture"), std::string::npos);
    EXPECT_TRUE(component);
    EXPECT_EQ(object->transform->getScale(), sf::Vector2f(1, 1));
}

TEST(CameraCreator, AutoEmptyOrMissingSizeTakesTheObjectSize) {
    auto& objects = GameObjectManager::instance();
    const PropertyMap base{{"", "camera"}, {"#width", "640"}, {"#height", "360"}};
    for (const auto& width : {std::string("auto"), std::string(""), std::string("-")}) {
        PropertyMap map = base;
        if (width != "-") {
            map["0"] = width;
        }
        map["height"] = "200";
        auto camera = std::dynamic_pointer_cast<CameraComponent>(
            objects.createComponent("camera", objects.createGameObject("camera"), map));
        ASSERT_TRUE(camera);
        EXPECT_EQ(camera->width, 640.0f) << width;
        EXPECT_EQ(camera->height, 200.0f) << width;
        EXPECT_EQ(camera->view->getSize(), sf::Vector2f(640, 200));
    }
    EXPECT_FALSE(RenderManager::instance().getMainCamera());
}

TEST(CameraCreator, AnyMainKeyMakesTheMainCamera) {
    auto& objects = GameObjectManager::instance();
    const PropertyMap map{{"", "camera"}, {"#width", "640"}, {"#height", "360"}, {"main", "false"}};
    auto camera = objects.createComponent("camera", objects.createGameObject("camera"), map);
    EXPECT_EQ(std::static_pointer_cast<Component>(RenderManager::instance().getMainCamera()), camera);
    PropertyMap bad = map;
    bad["0"] = "wide";
    EXPECT_THROW(objects.createComponent("camera", objects.createGameObject("camera"), bad),
                 std::invalid_argument);
}

TEST(StageCameraCreator, ReadsPlayersAndFramingBySettingOrName) {
    auto& objects = GameObjectManager::instance();
    const PropertyMap map{{"", "stage camera controller"},
                          {"0", "Player1"},
                          {"player2", "Player2"},
                          {"2", "1920"},
                          {"height", "1080.5"}};
    auto controller = std::dynamic_pointer_cast<StageCameraControllerComponent>(
        objects.createComponent("Stage Camera Controller", objects.createGameObject("stage"), map));
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->player1Name, "Player1");
    EXPECT_EQ(controller->player2Name, "Player2");
    EXPECT_EQ(controller->width, 1920.0f);
    EXPECT_EQ(controller->height, 1080.5f);
    EXPECT_EQ(controller->followSpeed, 1.0f);

    auto defaults = std::dynamic_pointer_cast<StageCameraControllerComponent>(
        objects.createComponent("stage camera controller", objects.createGameObject("stage"), {{"", "x"}}));
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->player1Name, "");
    EXPECT_EQ(defaults->width, 0.0f);
}
