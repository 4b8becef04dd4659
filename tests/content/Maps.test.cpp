#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <rapidxml/rapidxml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct MapObject {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::pair<std::string, std::string>> properties;
};

struct MapGroup {
    std::string name;
    int index = 0;
    std::vector<MapObject> objects;
};

struct MapLayer {
    std::string name;
    int index = 0;
    std::vector<int> data;
};

struct MapTileset {
    int firstGid = 0, tileWidth = 0, tileHeight = 0, count = 0;
    std::string image;
};

struct Map {
    int width = 0, height = 0, tileWidth = 0, tileHeight = 0;
    std::vector<MapTileset> tilesets;
    std::vector<MapLayer> layers;
    std::vector<MapGroup> groups;
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

int attr(rapidxml::xml_node<>* node, const char* name) {
    auto* a = node->first_attribute(name);
    return a ? std::atoi(a->value()) : 0;
}

std::string text(rapidxml::xml_node<>* node, const char* name) {
    auto* a = node->first_attribute(name);
    return a ? a->value() : "";
}

// Reads the map subset the engine reads: embedded tilesets, CSV tile layers and
// object groups, with layers and groups numbered in file order from the first one.
Map readMap(const std::string& path) {
    std::string source = readText(path);
    std::vector<char> buffer(source.begin(), source.end());
    buffer.push_back('\0');
    rapidxml::xml_document<> doc;
    doc.parse<0>(buffer.data());
    auto* root = doc.first_node("map");
    Map map;
    if (!root) {
        return map;
    }
    map.width = attr(root, "width");
    map.height = attr(root, "height");
    map.tileWidth = attr(root, "tilewidth");
    map.tileHeight = attr(root, "tileheight");
    for (auto* ts = root->first_node("tileset"); ts; ts = ts->next_sibling("tileset")) {
        auto* image = ts->first_node("image");
        map.tilesets.push_back({attr(ts, "firstgid"), attr(ts, "tilewidth"), attr(ts, "tileheight"),
                                attr(ts, "tilecount"), image ? text(image, "source") : ""});
    }
    int index = -1;
    for (auto* node = root->first_node(); node; node = node->next_sibling()) {
        std::string kind = node->name();
        if (index < 0 && kind != "layer" && kind != "objectgroup") {
            continue;
        }
        ++index;
        if (kind == "layer") {
            MapLayer layer{text(node, "name"), index, {}};
            std::string csv = node->first_node("data")->value();
            std::replace(csv.begin(), csv.end(), ',', ' ');
            std::istringstream in(csv);
            for (int gid; in >> gid;) {
                layer.data.push_back(gid);
            }
            map.layers.push_back(layer);
        } else if (kind == "objectgroup") {
            MapGroup group{text(node, "name"), index, {}};
            for (auto* o = node->first_node("object"); o; o = o->next_sibling("object")) {
                MapObject object{text(o, "name"), attr(o, "x"), attr(o, "y"), attr(o, "width"), attr(o, "height"), {}};
                if (auto* props = o->first_node("properties")) {
                    for (auto* p = props->first_node("property"); p; p = p->next_sibling("property")) {
                        object.properties.emplace_back(text(p, "name"), text(p, "value"));
                    }
                }
                group.objects.push_back(object);
            }
            map.groups.push_back(group);
        }
    }
    return map;
}

// Component instances of a map object: instance name -> (type, parameters).
struct Instance {
    std::string type;
    std::map<std::string, std::string> parameters;
};

std::map<std::string, Instance> instances(const MapObject& object, std::vector<std::string>& problems) {
    std::map<std::string, Instance> out;
    for (const auto& [name, value] : object.properties) {
        auto hash = name.find('#');
        if (hash == std::string::npos) {
            out.emplace(name, Instance{value, {}});
            continue;
        }
        auto owner = out.find(name.substr(0, hash));
        if (owner == out.end()) {
            problems.push_back(object.name + ": parameter " + name + " before its declaration");
            continue;
        }
        std::string key = name.substr(hash + 1);
        std::transform(key.begin(), key.end(), key.begin(), ::tolower);
        owner->second.parameters.emplace(key, value);
    }
    return out;
}

const std::set<std::string>& knownTypes() {
    static const std::set<std::string> types = {"sprite", "camera",    "rigidbody", "box", "circle", "polygon",
                                                "healthbar", "stage camera controller", "tag"};
    return types;
}

const MapObject* findObject(const Map& map, const std::string& name) {
    for (const auto& group : map.groups) {
        for (const auto& object : group.objects) {
            if (object.name == name) {
                return &object;
            }
        }
    }
    return nullptr;
}

bool hasInstanceOfType(const std::map<std::string, Instance>& list, const std::string& type) {
    return std::any_of(list.begin(), list.end(), [&](const auto& entry) { return entry.second.type == type; });
}

// The render layers a map creates, in draw order: tile layers in file order,
// then every object group's layer moved to its position in the file.
std::vector<std::string> renderLayerOrder(const Map& map) {
    std::vector<std::string> order;
    for (const auto& layer : map.layers) {
        if (std::find(order.begin(), order.end(), layer.name) == order.end()) {
            order.push_back(layer.name);
        }
    }
    for (const auto& group : map.groups) {
        auto it = std::find(order.begin(), order.end(), group.name);
        if (it == order.end()) {
            order.push_back(group.name);
            it = order.end() - 1;
        }
        std::string name = *it;
        order.erase(it);
        int position = std::clamp(group.index, 0, static_cast<int>(order.size()));
        order.insert(order.begin() + position, name);
    }
    return order;
}

void expectWellFormed(const std::string& path, const Map& map) {
    ASSERT_GT(map.width, 0) << path;
    ASSERT_GT(map.tileWidth, 0) << path;
    ASSERT_FALSE(map.layers.empty()) << path << " has no tile layer";
    std::string directory = path.substr(0, path.rfind('/') + 1);
    int lastGid = 0;
    for (const auto& tileset : map.tilesets) {
        sf::Image image;
        EXPECT_TRUE(image.loadFromFile(directory + tileset.image)) << path << ": tileset image " << tileset.image;
        EXPECT_EQ(tileset.firstGid, lastGid + 1) << path << ": tileset " << tileset.image;
        EXPECT_GT(tileset.tileWidth, 0) << tileset.image;
        lastGid = tileset.firstGid + tileset.count - 1;
    }
    for (const auto& layer : map.layers) {
        EXPECT_EQ(layer.data.size(), static_cast<size_t>(map.width * map.height)) << path << ": layer " << layer.name;
        for (int gid : layer.data) {
            ASSERT_TRUE(gid >= 0 && gid <= lastGid) << path << ": layer " << layer.name << " has tile " << gid;
        }
    }
    for (const auto& group : map.groups) {
        for (const auto& object : group.objects) {
            std::vector<std::string> problems;
            for (const auto& [name, instance] : instances(object, problems)) {
                EXPECT_TRUE(knownTypes().count(instance.type))
                    << path << ": " << object.name << " declares " << name << " of unknown type " << instance.type;
            }
            EXPECT_TRUE(problems.empty()) << path << ": " << (problems.empty() ? "" : problems.front());
        }
    }
}

void expectPlayer(const std::string& path, const Map& map, const std::string& name) {
    const MapObject* player = findObject(map, name);
    ASSERT_NE(player, nullptr) << path << " has no " << name;
    std::vector<std::string> problems;
    auto list = instances(*player, problems);
    ASSERT_TRUE(hasInstanceOfType(list, "rigidbody")) << path << ": " << name;
    ASSERT_TRUE(hasInstanceOfType(list, "box")) << path << ": " << name;
    ASSERT_TRUE(hasInstanceOfType(list, "sprite")) << path << ": " << name << " needs a sprite on its render layer";
    for (const auto& [instanceName, instance] : list) {
        if (instance.type == "rigidbody") {
            EXPECT_EQ(instance.parameters.at("type"), "dynamic") << path << ": " << name;
        }
        if (instance.type == "sprite") {
            // The sprite must not scale the object: the character frames are drawn 1:1.
            sf::Image image;
            ASSERT_TRUE(image.loadFromFile("../assets/tilemap/" + instance.parameters.at("path")));
            EXPECT_EQ(static_cast<int>(image.getSize().x), player->width) << path << ": " << name;
        }
    }
    // The character frames are drawn so that the feet rest on a 128 px high collider.
    EXPECT_EQ(player->width, 64) << path << ": " << name;
    EXPECT_EQ(player->height, 128) << path << ": " << name;
}

// A platform must lie under the respawn point (0, -300): the player falls onto it.
void expectRespawnPlatform(const std::string& path, const Map& map) {
    float halfW = map.width * map.tileWidth / 2.0f, halfH = map.height * map.tileHeight / 2.0f;
    bool found = false;
    for (const auto& group : map.groups) {
        for (const auto& object : group.objects) {
            std::vector<std::string> problems;
            auto list = instances(object, problems);
            if (!list.count("Platform") || list.at("Platform").type != "tag") {
                continue;
            }
            EXPECT_TRUE(hasInstanceOfType(list, "rigidbody") && hasInstanceOfType(list, "box"))
                << path << ": platform " << object.name << " needs a body and a box";
            float left = object.x - halfW, right = left + object.width, top = object.y - halfH;
            if (left < -40 && right > 40 && top > -300 + 64 && top < 400) {
                found = true;
            }
        }
    }
    EXPECT_TRUE(found) << path << ": nothing to land on below the respawn point (0, -300)";
}

const MapObject* mainCamera(const Map& map, std::map<std::string, Instance>& list) {
    for (const auto& group : map.groups) {
        for (const auto& object : group.objects) {
            std::vector<std::string> problems;
            auto candidate = instances(object, problems);
            for (const auto& [name, instance] : candidate) {
                if (instance.type == "camera" && instance.parameters.count("main")) {
                    list = candidate;
                    return &object;
                }
            }
        }
    }
    return nullptr;
}

} // namespace

TEST(ContentMaps, ArenaIsWellFormedAndHasEveryObjectTheGameFinds) {
    const std::string path = "../assets/tilemap/zefMap.tmx";
    Map map = readMap(path);
    expectWellFormed(path, map);
    expectPlayer(path, map, "Player1");
    expectPlayer(path, map, "Player2");
    expectRespawnPlatform(path, map);
    for (const char* name : {"Healthbar1", "Healthbar2"}) {
        const MapObject* bar = findObject(map, name);
        ASSERT_NE(bar, nullptr) << path << " has no " << name;
        std::vector<std::string> problems;
        EXPECT_TRUE(hasInstanceOfType(instances(*bar, problems), "healthbar")) << name;
    }
    std::map<std::string, Instance> camera;
    const MapObject* cameraObject = mainCamera(map, camera);
    ASSERT_NE(cameraObject, nullptr) << path << " has no main camera";
    bool controller = false;
    for (const auto& [name, instance] : camera) {
        if (instance.type == "stage camera controller") {
            controller = true;
            EXPECT_EQ(instance.parameters.at("player1"), "Player1");
            EXPECT_EQ(instance.parameters.at("player2"), "Player2");
            EXPECT_GT(std::atof(instance.parameters.at("width").c_str()), 0);
            EXPECT_GT(std::atof(instance.parameters.at("height").c_str()), 0);
        }
    }
    EXPECT_TRUE(controller) << path << ": the main camera has no stage camera controller";
    // Health bars sit in the top corners of the camera's first view.
    float halfW = map.width * map.tileWidth / 2.0f, halfH = map.height * map.tileHeight / 2.0f;
    float camX = cameraObject->x - halfW + cameraObject->width / 2.0f;
    const MapObject* left = findObject(map, "Healthbar1");
    const MapObject* right = findObject(map, "Healthbar2");
    EXPECT_LT(left->x - halfW + left->width / 2.0f, camX);
    EXPECT_GT(right->x - halfW + right->width / 2.0f, camX);
    EXPECT_LT(left->y - halfH, cameraObject->y - halfH + cameraObject->height / 4.0f);

    int movable = 0;
    for (const auto& group : map.groups) {
        for (const auto& object : group.objects) {
            std::vector<std::string> problems;
            auto list = instances(object, problems);
            if (list.count("Movable") && list.at("Movable").type == "tag") {
                ++movable;
                EXPECT_EQ(list.at("body").parameters.at("type"), "dynamic") << object.name;
            }
        }
    }
    EXPECT_GE(movable, 2) << path << ": crates to grapple";
}

TEST(ContentMaps, ArenaDrawsBeardsBehindPlayersBehindPlatformsBehindForeground) {
    Map map = readMap("../assets/tilemap/zefMap.tmx");
    auto order = renderLayerOrder(map);
    auto position = [&](const std::string& name) {
        auto it = std::find(order.begin(), order.end(), name);
        EXPECT_NE(it, order.end()) << "render layer " << name << " missing";
        return it - order.begin();
    };
    EXPECT_GT(position("Beards"), 0) << "something must be drawn behind the beards: the sky";
    EXPECT_LT(position("Beards"), position("Players"));
    EXPECT_LT(position("Players"), position("Platforms"));
    EXPECT_LT(position("Platforms"), position("Foreground"));
}

TEST(ContentMaps, VictoryStageHasThePlayerPlatformsAndAMainCamera) {
    const std::string path = "../assets/tilemap/victoryMap.tmx";
    Map map = readMap(path);
    expectWellFormed(path, map);
    expectPlayer(path, map, "Player1");
    expectRespawnPlatform(path, map);
    std::map<std::string, Instance> camera;
    EXPECT_NE(mainCamera(map, camera), nullptr) << path << " has no main camera";
    auto order = renderLayerOrder(map);
    for (const char* name : {"Beards", "Players", "Platforms", "Foreground"}) {
        EXPECT_NE(std::find(order.begin(), order.end(), name), order.end()) << path << ": render layer " << name;
    }
}
