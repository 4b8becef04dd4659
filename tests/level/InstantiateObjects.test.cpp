#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "common/MapFixtures.hpp"
#include "common/MediaFixtures.hpp"
#include "level/InstantiateObjects.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

// Stands for any component a map object declares; remembers what it was given.
struct ProbeComponent : Component {
    explicit ProbeComponent(PropertyMap properties) : properties(std::move(properties)) {}
    PropertyMap properties;
    bool activeAtInit = true;
    void init() override {
        Component::init();
        activeAtInit = gameObjectActive;
    }
};

// Every probe built, in order of creation.
std::vector<std::shared_ptr<ProbeComponent>> builtProbes;

std::shared_ptr<Component> createProbe(std::shared_ptr<GameObject> gameObject, PropertyMap properties) {
    auto probe = addComponent<ProbeComponent>(gameObject, properties);
    builtProbes.push_back(probe);
    return probe;
}

// Attaches a component, then fails as a creator does on a value it cannot read.
std::shared_ptr<Component> createFailing(std::shared_ptr<GameObject> gameObject, PropertyMap) {
    addComponent<ProbeComponent>(gameObject, PropertyMap{});
    throw std::invalid_argument("stoi");
}

// objects.tmx: 40 x 20 tiles of 32 px. The group "Actors" stands first (with
// the collision rules "#Any" = false, "Hidden" = true) and holds "Crate",
// "Spinner" and the invisible "Marker"; then the tile layers "Back" and
// "Front"; then the invisible group "Hidden" with "Ghost".
struct ObjectsMap {
    std::vector<std::shared_ptr<GameObject>> objects;
    std::string printed;
};

ObjectsMap instantiateObjectsMap(bool createLayers = true) {
    // Only this case's probes: the list outlives the engine's reset between cases.
    builtProbes.clear();
    auto& manager = GameObjectManager::instance();
    manager.registerCreator("probe", createProbe);
    manager.registerCreator("failing", createFailing);
    EXPECT_TRUE(MapStore::instance().loadMap(fixtureMapPath("objects.tmx"), "objects"));
    ObjectsMap map;
    ReportCapture output;
    std::shared_ptr<GameObject> tileLayers;
    MapStore::instance().instantiate("objects", tileLayers, map.objects, createLayers, false);
    map.printed = output.text();
    return map;
}

std::shared_ptr<GameObject> named(const ObjectsMap& map, const std::string& name) {
    for (const auto& object : map.objects) {
        if (object->name == name) {
            return object;
        }
    }
    return nullptr;
}

} // namespace

// Each case of this suite expects empty map, object, render-layer and collision-layer stores: the test
// main resets the engine before every case (tests/common/TestMain.cpp).
TEST(InstantiateObjects, EveryMapObjectBecomesAChildOfItsGroupsObject) {
    auto map = instantiateObjectsMap();
    ASSERT_EQ(map.objects.size(), 4u);
    EXPECT_EQ(map.objects[0]->name, "Crate");
    EXPECT_EQ(map.objects[1]->name, "Spinner");
    EXPECT_EQ(map.objects[2]->name, "Marker");
    EXPECT_EQ(map.objects[3]->name, "Ghost");
    auto& manager = GameObjectManager::instance();
    auto actors = manager.findGameObject("Actors", true);
    auto hidden = manager.findGameObject("Hidden", true);
    ASSERT_TRUE(actors && hidden);
    EXPECT_EQ(map.objects[0]->lockParent(), actors);
    EXPECT_EQ(map.objects[3]->lockParent(), hidden);
    EXPECT_EQ(actors->components.size(), 1u) << "a group object carries only its transform";
    EXPECT_EQ(actors->transform->getPosition(), sf::Vector2f(0.f, 0.f));
}

TEST(InstantiateObjects, ObjectsSitAtTheCentreOfTheirRectangle) {
    auto map = instantiateObjectsMap();
    // 64 x 32 at (0, 0) on a 1280 x 640 map.
    EXPECT_EQ(named(map, "Crate")->transform->getPosition(), sf::Vector2f(-608.f, -304.f));
    // 20 x 10 at (100.75, -3.5), read as (100, -3).
    EXPECT_EQ(named(map, "Spinner")->transform->getPosition(), sf::Vector2f(-530.f, -318.f));
    // A point object at the map's centre.
    EXPECT_EQ(named(map, "Marker")->transform->getPosition(), sf::Vector2f(0.f, 0.f));
}

TEST(InstantiateObjects, TagsAreAddedAndComponentsBuiltInInstanceNameOrder) {
    auto map = instantiateObjectsMap();
    auto crate = named(map, "Crate");
    EXPECT_TRUE(crate->hasTag("Platform"));
    EXPECT_FALSE(crate->hasTag("Tagged")) << "only the lowercase type tag adds a tag";
    EXPECT_FALSE(crate->hasTag("tagged"));
    EXPECT_EQ(crate->getComponents<ProbeComponent>().size(), 1u) << "\"Tag\" builds nothing";
    // "Z" sorts before "a"; "boom" failed in between and left nothing behind.
    auto spinnerProbes = named(map, "Spinner")->getComponents<ProbeComponent>();
    ASSERT_EQ(spinnerProbes.size(), 2u);
    EXPECT_EQ(spinnerProbes[0]->properties.count("order"), 0u);
    EXPECT_EQ(spinnerProbes[1]->properties.at("order"), "second");
    EXPECT_EQ(builtProbes.size(), 4u);
}

TEST(InstantiateObjects, SettingsHaveLowercaseKeysAndTheFirstValueWins) {
    auto map = instantiateObjectsMap();
    auto probe = named(map, "Crate")->getComponent<ProbeComponent>();
    ASSERT_TRUE(probe);
    const PropertyMap& properties = probe->properties;
    EXPECT_EQ(properties.at(""), "Probe") << "the type is passed as written";
    // body#Mass = 2.5 stands before body#mass = 9 in the file.
    EXPECT_EQ(properties.at("mass"), "2.5");
    EXPECT_EQ(properties.at("shape"), "box");
    EXPECT_EQ(properties.count("Mass"), 0u);
}

TEST(InstantiateObjects, PseudoPropertiesDoNotReplaceWrittenSettings) {
    auto map = instantiateObjectsMap();
    const PropertyMap& crate = named(map, "Crate")->getComponent<ProbeComponent>()->properties;
    EXPECT_EQ(crate.at("#layer"), "Elsewhere");
    EXPECT_EQ(crate.at("#name"), "Crate");
    EXPECT_EQ(crate.at("#width"), "64");
    EXPECT_EQ(crate.at("#height"), "32");
    EXPECT_EQ(crate.at("#tileWidth"), "32");
    EXPECT_EQ(crate.at("#tileHeight"), "32");
    EXPECT_EQ(crate.at("#directory"), fixtureMapPath(""));
    EXPECT_EQ(crate.at("#map"), "objects");
    const PropertyMap& ghost = named(map, "Ghost")->getComponent<ProbeComponent>()->properties;
    EXPECT_EQ(ghost.at("#layer"), "Hidden");
    EXPECT_EQ(ghost.size(), 9u);
}

TEST(InstantiateObjects, ContentProblemsAreReportedAndTheRestIsBuilt) {
    auto map = instantiateObjectsMap();
    EXPECT_NE(
        map.printed.find("Map objects, object \"Spinner\" in Actors: component \"boom\" (failing) was not "
                         "built: stoi"),
        std::string::npos)
        << map.printed;
    EXPECT_NE(map.printed.find("Map objects, object \"Spinner\" in Actors: setting \"ghost#size\" names no "
                               "component declared before it; ignored"),
              std::string::npos)
        << map.printed;
    EXPECT_TRUE(named(map, "Ghost"));
}

TEST(InstantiateObjects, InvisibleGroupsAndObjectsAreInactive) {
    auto map = instantiateObjectsMap();
    auto ghost = named(map, "Ghost");
    EXPECT_FALSE(GameObjectManager::instance().findGameObject("Hidden", true)->active);
    EXPECT_FALSE(ghost->isActiveInHierarchy());
    EXPECT_TRUE(ghost->active);
    EXPECT_FALSE(ghost->getComponent<ProbeComponent>()->activeAtInit)
        << "init already sees the inactive group";
    EXPECT_FALSE(named(map, "Marker")->active);
    EXPECT_TRUE(named(map, "Crate")->isActiveInHierarchy());
    EXPECT_TRUE(named(map, "Crate")->getComponent<ProbeComponent>()->activeAtInit);
    EXPECT_FALSE(GameObjectManager::instance().findGameObject("Ghost"));
}

TEST(InstantiateObjects, GroupRenderLayersTakeTheirPlaceInFileOrder) {
    instantiateObjectsMap();
    // The tile layers were added first; the leading group moved to position 0.
    const auto& layers = RenderManager::instance().layers;
    ASSERT_EQ(layers.size(), 4u);
    const char* expected[] = {"Actors", "Back", "Front", "Hidden"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(layers[i]->name, expected[i]);
        EXPECT_EQ(layers[i]->index, i);
    }
}

TEST(InstantiateObjects, WithoutCreatingLayersOnlyExistingOnesMove) {
    auto& renderManager = RenderManager::instance();
    renderManager.addLayer("Front");
    renderManager.addLayer("Hidden");
    renderManager.addLayer("Actors");
    instantiateObjectsMap(false);
    ASSERT_EQ(renderManager.layers.size(), 3u);
    EXPECT_EQ(renderManager.layers[0]->name, "Actors");
    EXPECT_EQ(renderManager.layers[1]->name, "Front");
    // Index 3 is clamped to the last position.
    EXPECT_EQ(renderManager.layers[2]->name, "Hidden");
}

TEST(InstantiateObjects, GroupPropertiesAreCollisionRulesOfTheGroupsLayer) {
    instantiateObjectsMap();
    auto& physics = PhysicsManager::instance();
    auto actors = physics.getCollisionLayer("Actors");
    auto hidden = physics.getCollisionLayer("Hidden");
    ASSERT_TRUE(actors && hidden);
    // Both groups are layers before any rule is read, in group order.
    EXPECT_EQ(actors->filter.categoryBits, 0x0002);
    EXPECT_EQ(hidden->filter.categoryBits, 0x0004);
    EXPECT_EQ(actors->filter.maskBits, 0x0004);
    EXPECT_EQ(hidden->filter.maskBits, 0xFFFF);
}

TEST(InstantiateObjects, EngineCreatorsBuildFromTheMapsSettings) {
    TempDirectory directory;
    directory.writeImage("art/box.png", 16, 8);
    const std::string path = directory.writeText("level.tmx", R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="orthogonal" width="4" height="4" tilewidth="16" tileheight="16">
 <layer id="1" name="Ground" width="4" height="4"><data encoding="csv"></data></layer>
 <objectgroup id="2" name="Things">
  <object id="1" name="Good" x="0" y="0" width="32" height="32">
   <properties>
    <property name="look" value="sprite"/>
    <property name="look#0" value="art/box.png"/>
   </properties>
  </object>
  <object id="2" name="Bad" x="0" y="0" width="32" height="32">
   <properties>
    <property name="look" value="Sprite"/>
    <property name="look#0" value="art/box.png"/>
    <property name="look#depth" value="deep"/>
   </properties>
  </object>
 </objectgroup>
</map>
)");
    ASSERT_TRUE(MapStore::instance().loadMap(path, "level"));
    ReportCapture output;
    MapStore::instance().instantiate("level", true, true);
    auto& manager = GameObjectManager::instance();
    auto good = manager.findGameObject("Good")->getComponent<SpriteRendererComponent>();
    ASSERT_TRUE(good);
    EXPECT_EQ(good->getLayer(), RenderManager::instance().findLayer("Things"));
    EXPECT_EQ(manager.findGameObject("Good")->transform->getScale(), sf::Vector2f(2.f, 2.f));
    EXPECT_FALSE(manager.findGameObject("Bad")->getComponent<SpriteRendererComponent>());
    EXPECT_NE(output.text().find("object \"Bad\" in Things: component \"look\" (Sprite) was not built"),
              std::string::npos)
        << output.text();
}

TEST(InstantiateObjects, NumbersNoObjectCanHaveAreRefusedWithOneLineEach) {
    struct Case {
        std::string object, instance, type, key, value, problem;
    };
    // Each object declares one component with one setting; "#" keys replace the loader's own.
    const std::vector<Case> cases = {
        {"Heavy", "body", "rigidbody", "mass", "-2", "negative mass: -2"},
        {"Blur", "look", "sprite", "#width", "nan", "not a finite number: nan"},
        {"Endless", "look", "sprite", "#height", "inf", "not a finite number: inf"},
        {"Huge", "view", "camera", "#width", "1e30", "out of range for a size in pixels: 1e30"},
        {"Lost", "view", "camera", "#height", "-nan", "not a finite number: -nan"},
        {"Far", "stage", "stage camera controller", "width", "infinity", "not a finite number: infinity"},
        {"Light", "body", "rigidbody", "mass", "0.5", ""},
    };
    std::string objects;
    for (const auto& c : cases) {
        objects += "<object name=\"" + c.object +
                   "\" x=\"0\" y=\"0\" width=\"32\" height=\"32\"><properties>" + "<property name=\"" +
                   c.instance + "\" value=\"" + c.type + "\"/><property name=\"" + c.instance + "#" + c.key +
                   "\" value=\"" + c.value + "\"/></properties></object>\n";
    }
    TempDirectory directory;
    const std::string path = directory.writeText(
        "numbers.tmx",
        "<map width=\"4\" height=\"4\" tilewidth=\"16\" tileheight=\"16\">\n"
        "<layer name=\"Ground\" width=\"4\" height=\"4\"><data encoding=\"csv\"></data></layer>\n"
        "<objectgroup name=\"Things\">\n" +
            objects + "</objectgroup></map>\n");
    ASSERT_TRUE(MapStore::instance().loadMap(path, "numbers"));
    ReportCapture output;
    MapStore::instance().instantiate("numbers", true, true);
    const std::string printed = output.text();

    auto& manager = GameObjectManager::instance();
    for (const auto& c : cases) {
        auto object = manager.findGameObject(c.object);
        ASSERT_TRUE(object) << c.object;
        if (c.problem.empty()) {
            continue;
        }
        const std::string line = "Map numbers, object \"" + c.object + "\" in Things: component \"" +
                                 c.instance + "\" (" + c.type + ") was not built: " + c.problem + "\n";
        EXPECT_NE(printed.find(line), std::string::npos) << line << "in:\n" << printed;
        EXPECT_EQ(object->components.size(), 1u) << c.object << " keeps only its transform";
    }
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), static_cast<std::ptrdiff_t>(cases.size() - 1))
        << printed;
    ASSERT_TRUE(manager.findGameObject("Light")->rigidBody);
    EXPECT_EQ(manager.findGameObject("Light")->rigidBody->mass, 0.5f);
}
