#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "common/MapFixtures.hpp"
#include "level/MapStore.hpp"

// What the arena and victory maps must hold beyond loading: the component
// declarations written the way the map instantiation reads them, and the
// objects, places and settings the game relies on.

namespace {

std::shared_ptr<const TmxMap> load(const std::string& path) {
    StdoutCapture output;
    EXPECT_TRUE(MapStore::instance().loadMap(path, path));
    EXPECT_EQ(output.text(), "") << path;
    return MapStore::instance().findMap(path);
}

// Component instances of a map object: instance name -> (type, parameters).
struct Instance {
    std::string type;
    std::map<std::string, std::string> parameters;
};

std::map<std::string, Instance> instances(const TmxObject& object) {
    std::map<std::string, Instance> out;
    for (const auto& property : object.properties) {
        auto hash = property->name.find('#');
        if (hash == std::string::npos) {
            out.emplace(property->name, Instance{property->value, {}});
            continue;
        }
        auto owner = out.find(property->name.substr(0, hash));
        EXPECT_NE(owner, out.end()) << object.name << ": parameter " << property->name
                                    << " before its declaration";
        if (owner != out.end()) {
            std::string key = property->name.substr(hash + 1);
            std::transform(key.begin(), key.end(), key.begin(), ::tolower);
            owner->second.parameters.emplace(key, property->value);
        }
    }
    return out;
}

bool hasType(const std::map<std::string, Instance>& list, const std::string& type) {
    return std::any_of(list.begin(), list.end(),
                       [&](const auto& entry) { return entry.second.type == type; });
}

const TmxObject* findObject(const TmxMap& map, const std::string& name) {
    for (const auto& group : map.objectGroups) {
        for (const auto& object : group->objects) {
            if (object->name == name) {
                return object.get();
            }
        }
    }
    return nullptr;
}

// World position of an object's centre: the map's centre is the origin.
sf::Vector2f centre(const TmxMap& map, const TmxObject& object) {
    return {object.x - map.width * map.tileWidth / 2.0f + object.width / 2.0f,
            object.y - map.height * map.tileHeight / 2.0f + object.height / 2.0f};
}

void expectWellFormed(const std::string& path, const TmxMap& map) {
    std::string directory = path.substr(0, path.rfind('/') + 1);
    int lastGid = 0;
    for (const auto& tileset : map.tilesets) {
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(directory + tileset->imageSource)) << tileset->imageSource;
        EXPECT_EQ(tileset->firstGid, lastGid + 1) << path << ": tileset " << tileset->name;
        lastGid = tileset->firstGid - 1 +
                  static_cast<int>(image.getSize().x / tileset->tileWidth) *
                      static_cast<int>(image.getSize().y / tileset->tileHeight);
    }
    for (const auto& layer : map.layers) {
        for (int gid : layer->data) {
            ASSERT_TRUE(gid >= 0 && gid <= lastGid)
                << path << ": layer " << layer->name << " has tile " << gid;
        }
    }
    static const std::set<std::string> types = {"sprite", "camera",  "rigidbody", "box",
                                                "circle", "polygon", "healthbar", "stage camera controller",
                                                "tag"};
    for (const auto& group : map.objectGroups) {
        for (const auto& object : group->objects) {
            for (const auto& [name, instance] : instances(*object)) {
                EXPECT_TRUE(types.count(instance.type)) << path << ": " << object->name << " declares "
                                                        << name << " of unknown type " << instance.type;
            }
        }
    }
}

void expectPlayer(const TmxMap& map, const std::string& name) {
    const TmxObject* player = findObject(map, name);
    ASSERT_NE(player, nullptr) << "no " << name;
    auto list = instances(*player);
    EXPECT_TRUE(hasType(list, "box")) << name;
    for (const auto& [instanceName, instance] : list) {
        if (instance.type == "rigidbody") {
            EXPECT_EQ(instance.parameters.at("type"), "dynamic") << name;
            EXPECT_EQ(instance.parameters.at("mass"), "30") << name;
        }
    }
    // The character frames stand on the bottom of a 64 x 128 collider.
    EXPECT_EQ(player->width, 64) << name;
    EXPECT_EQ(player->height, 128) << name;
}

// Something to land on below the respawn point (0, -300), close enough not to hurt.
void expectRespawnPlatform(const TmxMap& map) {
    bool found = false;
    for (const auto& group : map.objectGroups) {
        for (const auto& object : group->objects) {
            auto list = instances(*object);
            if (!list.count("Platform") || list.at("Platform").type != "tag") {
                continue;
            }
            EXPECT_TRUE(hasType(list, "rigidbody") && hasType(list, "box")) << "platform " << object->name;
            sf::Vector2f c = centre(map, *object);
            float top = c.y - object->height / 2.0f;
            if (std::abs(c.x) < object->width / 2.0f - 40 && top > -300 + 64 && top < 300) {
                found = true;
            }
        }
    }
    EXPECT_TRUE(found) << "nothing to land on below the respawn point (0, -300)";
}

} // namespace

TEST(ContentMaps, ArenaHoldsPlayersHealthBarsCratesAndAFramingCamera) {
    const std::string path = "../assets/tilemap/zefMap.tmx";
    auto map = load(path);
    ASSERT_TRUE(map);
    expectWellFormed(path, *map);
    expectPlayer(*map, "Player1");
    expectPlayer(*map, "Player2");
    expectRespawnPlatform(*map);

    const TmxObject* camera = findObject(*map, "Camera");
    ASSERT_NE(camera, nullptr);
    auto cameraParts = instances(*camera);
    bool controller = false;
    for (const auto& [name, instance] : cameraParts) {
        if (instance.type == "camera") {
            EXPECT_TRUE(instance.parameters.count("main"));
        }
        if (instance.type == "stage camera controller") {
            controller = true;
            EXPECT_EQ(instance.parameters.at("player1"), "Player1");
            EXPECT_EQ(instance.parameters.at("player2"), "Player2");
            EXPECT_GT(std::atof(instance.parameters.at("width").c_str()), 0);
            EXPECT_GT(std::atof(instance.parameters.at("height").c_str()), 0);
        }
    }
    EXPECT_TRUE(controller) << "the camera has no stage camera controller";

    // Health bars near the top corners of the camera's first view.
    sf::Vector2f view = centre(*map, *camera);
    for (const char* name : {"Healthbar1", "Healthbar2"}) {
        const TmxObject* bar = findObject(*map, name);
        ASSERT_NE(bar, nullptr) << name;
        EXPECT_TRUE(hasType(instances(*bar), "healthbar")) << name;
        sf::Vector2f at = centre(*map, *bar) - view;
        EXPECT_GT(std::abs(at.x), camera->width * 0.35f) << name;
        EXPECT_LT(at.y, -camera->height * 0.35f) << name;
        EXPECT_EQ(at.x < 0, std::string(name) == "Healthbar1") << name;
    }

    int movable = 0;
    for (const auto& group : map->objectGroups) {
        for (const auto& object : group->objects) {
            auto list = instances(*object);
            if (list.count("Movable") && list.at("Movable").type == "tag") {
                ++movable;
                EXPECT_EQ(list.at("body").parameters.at("type"), "dynamic") << object->name;
            }
        }
    }
    EXPECT_GE(movable, 2) << "crates to grapple";
}

TEST(ContentMaps, VictoryStageHoldsOnePlayerOnSolidGround) {
    const std::string path = "../assets/tilemap/victoryMap.tmx";
    auto map = load(path);
    ASSERT_TRUE(map);
    expectWellFormed(path, *map);
    expectPlayer(*map, "Player1");
    expectRespawnPlatform(*map);
    EXPECT_EQ(findObject(*map, "Player2"), nullptr);
}
