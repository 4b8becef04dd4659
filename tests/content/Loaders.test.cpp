#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <cstdlib>

#include "ContentCatalogue.hpp"
#include "audio/SoundManager.hpp"
#include "common/MapFixtures.hpp"
#include "common/TestOutput.hpp"
#include "game/Arenas.hpp"
#include "level/MapStore.hpp"
#include "physics/MovingPlatformComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/AssetManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "render/StageCameraControllerComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/TransformComponent.hpp"
#include "widgets/Button.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Group.hpp"
#include "widgets/Gui.hpp"
#include "widgets/Picture.hpp"
#include "widgets/Slider.hpp"

// These cases load the content through the engine's own loaders, the way game
// setup and the states do, and expect no line of complaint from any of them.

namespace {

// Builds a stored map the way the arena and victory states do: a fresh world,
// then the map with its missing render layers created.
std::vector<std::shared_ptr<GameObject>> buildMap(const std::string& path, const std::string& name) {
    PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
    ReportCapture output;
    EXPECT_TRUE(MapStore::instance().loadMap(path, name)) << path;
    std::shared_ptr<GameObject> tileLayers;
    std::vector<std::shared_ptr<GameObject>> objects;
    MapStore::instance().instantiate(name, tileLayers, objects, true, true);
    EXPECT_EQ(output.text(), "") << path << " loaded with complaints";
    EXPECT_TRUE(tileLayers) << path;
    return objects;
}

std::shared_ptr<GameObject> find(const std::string& name) {
    return GameObjectManager::instance().findGameObject(name, true);
}

void expectPlayerBuilt(const std::string& name) {
    auto player = find(name);
    ASSERT_TRUE(player) << name;
    ASSERT_TRUE(player->rigidBody) << name << " has no rigid body";
    EXPECT_NE(player->rigidBody->body, nullptr) << name;
    EXPECT_EQ(player->rigidBody->body->GetType(), b2_dynamicBody) << name;
    auto sprite = player->getComponent<SpriteRendererComponent>();
    ASSERT_TRUE(sprite) << name << " has no sprite to take over";
    ASSERT_TRUE(sprite->getLayer()) << name;
    EXPECT_EQ(sprite->getLayer()->name, "Players");
    // The map's sprite leaves the player at scale 1: the frames are drawn 1:1.
    auto scale = player->getComponent<TransformComponent>()->getScale();
    EXPECT_FLOAT_EQ(scale.x, 1.0f) << name;
    EXPECT_FLOAT_EQ(scale.y, 1.0f) << name;
}

int countTagged(const std::vector<std::shared_ptr<GameObject>>& objects, const std::string& tag) {
    int count = 0;
    for (const auto& object : objects) {
        if (object->hasTag(tag)) {
            EXPECT_TRUE(object->rigidBody && object->rigidBody->body) << tag << " " << object->name;
            ++count;
        }
    }
    return count;
}

} // namespace

// Each case of this suite expects engine singletons untouched by earlier cases (maps, layers, objects,
// physics world): the test main resets the engine before every case.
TEST(ContentLoading, ArenaBuildsEveryObjectLayerAndCameraTheGameUses) {
    auto objects = buildMap("../assets/tilemap/zefMap.tmx", "magicmap");
    expectPlayerBuilt("Player1");
    expectPlayerBuilt("Player2");
    EXPECT_TRUE(find("Healthbar1"));
    EXPECT_TRUE(find("Healthbar2"));
    EXPECT_GE(countTagged(objects, "Platform"), 5);
    EXPECT_GE(countTagged(objects, "Movable"), 2);
    auto& render = RenderManager::instance();
    for (const char* layer : {"Beards", "Players", "Platforms", "Foreground"}) {
        EXPECT_GE(render.layerIndex(layer), 0) << "render layer " << layer;
    }
    EXPECT_GT(render.layerIndex("Beards"), 0);
    EXPECT_LT(render.layerIndex("Beards"), render.layerIndex("Players"));
    EXPECT_LT(render.layerIndex("Players"), render.layerIndex("Platforms"));
    EXPECT_LT(render.layerIndex("Platforms"), render.layerIndex("Foreground"));
    auto camera = render.getMainCamera();
    ASSERT_TRUE(camera) << "the arena has no main camera";
    auto cameraObject = camera->gameObject.lock();
    ASSERT_TRUE(cameraObject);
    EXPECT_TRUE(cameraObject->getComponent<StageCameraControllerComponent>());
    EXPECT_TRUE(PhysicsManager::instance().getCollisionLayer("Platforms"));
}

TEST(ContentLoading, NewArenasBuildWithoutAComplaintWithTheirPlayersBarsAndMovingPlatforms) {
    for (const auto& arena : arenas()) {
        if (arena.mapName == "magicmap") {
            continue;
        }
        SCOPED_TRACE(arena.mapFile);
        GameObjectManager::instance().clear(true);
        auto objects = buildMap(arena.mapFile, arena.mapName);
        expectPlayerBuilt("Player1");
        expectPlayerBuilt("Player2");
        EXPECT_TRUE(find("Healthbar1"));
        EXPECT_TRUE(find("Healthbar2"));
        EXPECT_GE(countTagged(objects, "Platform"), 8);
        int moving = 0;
        for (const auto& object : objects) {
            if (object->getComponent<MovingPlatformComponent>()) {
                ++moving;
                EXPECT_EQ(object->rigidBody->body->GetType(), b2_kinematicBody) << object->name;
                EXPECT_TRUE(object->hasTag("Platform")) << object->name;
                EXPECT_TRUE(object->getComponent<SpriteRendererComponent>())
                    << object->name << " is not drawn";
            }
        }
        EXPECT_GE(moving, 2);
        auto camera = RenderManager::instance().getMainCamera();
        ASSERT_TRUE(camera);
        auto controller = camera->gameObject.lock()->getComponent<StageCameraControllerComponent>();
        ASSERT_TRUE(controller);
        EXPECT_GT(controller->boundX, 960.0f) << "the view reaches the whole arena";
        EXPECT_GT(controller->boundY, 540.0f);
    }
}

TEST(ContentLoading, VictoryStageBuildsItsPlayerAndCamera) {
    auto objects = buildMap("../assets/tilemap/victoryMap.tmx", "victorymap");
    expectPlayerBuilt("Player1");
    EXPECT_GE(countTagged(objects, "Platform"), 1);
    EXPECT_TRUE(RenderManager::instance().getMainCamera());
    for (const char* layer : {"Beards", "Players", "Platforms", "Foreground"}) {
        EXPECT_GE(RenderManager::instance().layerIndex(layer), 0) << "render layer " << layer;
    }
}

TEST(ContentLoading, AtlasesAndPicturesLoadThroughTheAssetManager) {
    auto& assets = AssetManager::instance();
    ReportCapture output;
    for (const auto& atlas : content::atlases()) {
        EXPECT_TRUE(assets.loadAtlas(atlas)) << atlas;
    }
    EXPECT_TRUE(assets.loadTexture("../assets/PNG/vfx/particle.png", "particle.png"));
    for (const auto& image : content::images()) {
        EXPECT_TRUE(assets.getSprite(image)) << image;
    }
    EXPECT_EQ(output.text(), "");
    for (const auto& animation : content::animations()) {
        for (int i = 0; i < animation.frames; ++i) {
            for (const auto& layer : content::frameLayers()) {
                std::string name = animation.name + "_" + layer + "_" + std::to_string(i) + ".png";
                EXPECT_TRUE(assets.sprites.count(name)) << "no sprite " << name;
            }
        }
    }
}

TEST(ContentLoading, EverySoundOfTheSoundTableLoadsThroughTheSoundManager) {
    auto& sounds = SoundManager::instance();
    for (const auto& [name, path] : content::sounds()) {
        sounds.soundPaths.emplace(name, path);
    }
    for (const auto& [name, path] : content::sounds()) {
        if (name == "bg music" || name.rfind("music ", 0) == 0 || name == "ambient") {
            EXPECT_TRUE(sounds.createMusic(name)) << name << ": " << path;
        } else {
            EXPECT_TRUE(sounds.createSound(name)) << name << ": " << path;
        }
    }
}

TEST(ContentLoading, EveryMenuPageLoadsThroughTheWidgetLayerWithItsWidgets) {
    // Written for looking at; not checked in.
    const std::string previews = testOutputPath("content-preview/");
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(1920, 1080));
    for (const auto& page : content::formPages()) {
        // The game names its forms with backslashes.
        std::string path = "..\\assets\\gui\\" + page.file.substr(page.file.rfind('/') + 1);
        auto group = widgets::Group::create();
        ReportCapture output;
        try {
            widgets::loadFormFile(*group, path);
        } catch (const widgets::FormError& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        EXPECT_EQ(output.text(), "") << path;
        for (const auto& name : page.buttons) {
            EXPECT_TRUE(group->get<widgets::Button>(name)) << page.file << " lacks the button " << name;
        }
        for (const auto& name : page.sliders) {
            auto slider = group->get<widgets::Slider>(name);
            ASSERT_TRUE(slider) << page.file << " lacks the slider " << name;
            EXPECT_EQ(slider->getMinimum(), 0.0f) << name;
            EXPECT_EQ(slider->getMaximum(), 100.0f) << name;
        }
        for (const auto& name : page.pictures) {
            EXPECT_TRUE(group->get<widgets::Picture>(name)) << page.file << " lacks the picture " << name;
        }
        widgets::Gui gui(target);
        gui.add(group);
        target.clear(sf::Color(60, 90, 60));
        gui.draw();
        target.display();
        target.getTexture().copyToImage().saveToFile(previews + page.group + ".png");
    }
}

TEST(ContentLoading, ArenaDrawnThroughItsMainCameraShowsSkyIslandAndCrates) {
    buildMap("../assets/tilemap/zefMap.tmx", "magicmap");
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(1920, 1080));
    target.clear(sf::Color::Black);
    RenderManager::instance().drawAll(target, 0.0f, 0.0f);
    target.display();
    sf::Image frame = target.getTexture().copyToImage();
    frame.saveToFile(testOutputPath("content-preview/arena.png"));
    // The camera starts 1920 x 1080 around the world origin: world (x, y) is
    // pixel (x + 960, y + 540).
    auto at = [&](int x, int y) { return frame.getPixel(x + 960, y + 540); };
    sf::Color sky = at(-900, -500);
    EXPECT_GT(sky.b, sky.g) << "violet sky in the top left";
    sf::Color grass = at(0, 192 + 12);
    EXPECT_GT(grass.g, grass.r) << "grass on top of the main island";
    EXPECT_GT(grass.g, grass.b);
    sf::Color crate = at(-420, 192 - 40);
    EXPECT_GT(crate.r, crate.b) << "a wooden crate on the island";
    sf::Color rock = at(0, 400);
    EXPECT_GT(rock.r, rock.g) << "rock under the grass";
}
