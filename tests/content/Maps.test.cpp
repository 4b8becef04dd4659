#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "common/MapFixtures.hpp"
#include "game/Arenas.hpp"
#include "game/player/PlayerTuning.hpp"
#include "level/MapStore.hpp"

// What the arena and victory maps must hold beyond loading: the component
// declarations written the way the map instantiation reads them, and the
// objects, places and settings the game relies on.

namespace {

std::shared_ptr<const TmxMap> load(const std::string& path) {
    ReportCapture output;
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
    static const std::set<std::string> types = {"sprite",    "camera",          "rigidbody",
                                                "box",       "circle",          "polygon",
                                                "healthbar", "moving platform", "stage camera controller",
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

namespace {
void expectArena(const std::string& path) {
    SCOPED_TRACE(path);
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
} // namespace

TEST(ContentMaps, EveryArenaHoldsPlayersHealthBarsCratesAndAFramingCamera) {
    for (const auto& arena : arenas()) {
        expectArena(arena.mapFile);
    }
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

namespace {
// A surface a player can stand on, in world pixels (y down).
struct Ledge {
    float left, right, top;
    std::string name;
};

// The box of a map object centred at `centre`, as its collider takes it.
Ledge ledgeAt(const TmxObject& object, sf::Vector2f centre, const Instance& box) {
    const auto number = [&box](const char* key, float fallback) {
        const auto found = box.parameters.find(key);
        return found == box.parameters.end() || found->second == "auto"
                   ? fallback
                   : static_cast<float>(std::atof(found->second.c_str()));
    };
    const float width = number("width", static_cast<float>(object.width));
    const float height = number("height", static_cast<float>(object.height));
    const float x = centre.x + number("xoff", 0.0f);
    const float y = centre.y + number("yoff", 0.0f);
    return {x - width / 2.0f, x + width / 2.0f, y - height / 2.0f, object.name};
}

// Whether a player standing anywhere on `from` reaches `to` with one running
// jump of the player's own numbers: the top no higher than the jump rises
// (less a margin to clear the edge), the gap no wider than the run covers in
// the air before falling back to that height (less a fifth for a person's
// timing). Lower ledges are reached by walking off, within the same gap.
bool jumpReaches(const Ledge& from, const Ledge& to) {
    const PlayerTuning tuning;
    constexpr float gravity = 10.0f; // m/s^2, the arena's world
    constexpr float pixelsPerMetre = 100.0f;
    constexpr float edgeMargin = 20.0f; // px the feet must clear the edge by
    const float rise = (from.top - to.top) / pixelsPerMetre;
    const float highest = tuning.jumpSpeed * tuning.jumpSpeed / (2.0f * gravity);
    if (rise > highest - edgeMargin / pixelsPerMetre) {
        return false;
    }
    const float airTime = (tuning.jumpSpeed + std::sqrt(tuning.jumpSpeed * tuning.jumpSpeed -
                                                        2.0f * gravity * std::max(rise, 0.0f))) /
                          gravity;
    const float reach = 0.8f * tuning.groundSpeed * airTime * pixelsPerMetre;
    const float gap = std::max({0.0f, to.left - from.right, from.left - to.right});
    return gap <= reach;
}

// Every surface of the map a player could stand on: the static platforms
// whose top is not covered by another platform, and each moving platform at
// every 32 pixels of its path (a rider reaches all of them). Ledges of one
// moving platform share its index in `group`.
void collectLedges(const TmxMap& map, std::vector<Ledge>& ledges, std::vector<int>& group) {
    std::vector<Ledge> still;
    int movingCount = 0;
    for (const auto& objectGroup : map.objectGroups) {
        for (const auto& object : objectGroup->objects) {
            auto list = instances(*object);
            if (!list.count("Platform") || !list.count("collider")) {
                continue;
            }
            const Instance& box = list.at("collider");
            const Instance* mover = nullptr;
            for (const auto& [name, instance] : list) {
                if (instance.type == "moving platform") {
                    mover = &instance;
                }
            }
            if (!mover) {
                still.push_back(ledgeAt(*object, centre(map, *object), box));
                continue;
            }
            const TmxObject* path = findObject(map, mover->parameters.at("path"));
            ASSERT_TRUE(path && path->points.size() >= 2) << object->name;
            ++movingCount;
            const float halfWidth = map.width * map.tileWidth / 2.0f;
            const float halfHeight = map.height * map.tileHeight / 2.0f;
            for (size_t i = 1; i < path->points.size(); ++i) {
                const sf::Vector2f a(path->x + path->points[i - 1].x - halfWidth,
                                     path->y + path->points[i - 1].y - halfHeight);
                const sf::Vector2f b(path->x + path->points[i].x - halfWidth,
                                     path->y + path->points[i].y - halfHeight);
                const float length = std::hypot(b.x - a.x, b.y - a.y);
                for (float along = 0.0f; along <= length; along += 32.0f) {
                    const float t = length > 0.0f ? along / length : 0.0f;
                    ledges.push_back(ledgeAt(*object, a + (b - a) * t, box));
                    group.push_back(movingCount);
                }
            }
        }
    }
    for (const auto& ledge : still) {
        const bool covered = std::any_of(still.begin(), still.end(), [&ledge](const Ledge& other) {
            return &other != &ledge && other.top < ledge.top && other.top + 64.0f >= ledge.top &&
                   other.left <= ledge.left && other.right >= ledge.right;
        });
        if (!covered) {
            ledges.push_back(ledge);
            group.push_back(0);
        }
    }
}
} // namespace

TEST(ContentMaps, APersonReachesEveryPlatformOfEveryArenaFromTheSpawns) {
    for (const auto& arena : arenas()) {
        SCOPED_TRACE(arena.mapFile);
        auto map = load(arena.mapFile);
        ASSERT_TRUE(map);
        std::vector<Ledge> ledges;
        std::vector<int> group;
        collectLedges(*map, ledges, group);
        ASSERT_FALSE(ledges.empty());
        std::vector<bool> reached(ledges.size(), false);
        // From the ledges the players start on.
        for (const char* name : {"Player1", "Player2"}) {
            const TmxObject* player = findObject(*map, name);
            ASSERT_TRUE(player);
            const sf::Vector2f at = centre(*map, *player);
            const float feet = at.y + player->height / 2.0f;
            bool standing = false;
            for (size_t i = 0; i < ledges.size(); ++i) {
                if (std::fabs(ledges[i].top - feet) < 2.0f && at.x >= ledges[i].left &&
                    at.x <= ledges[i].right) {
                    reached[i] = standing = true;
                }
            }
            EXPECT_TRUE(standing) << name << " does not start on a platform";
        }
        for (bool grew = true; grew;) {
            grew = false;
            for (size_t i = 0; i < ledges.size(); ++i) {
                for (size_t j = 0; j < ledges.size() && !reached[i]; ++j) {
                    const bool ridden = group[i] != 0 && group[i] == group[j];
                    if (reached[j] && (ridden || jumpReaches(ledges[j], ledges[i]))) {
                        reached[i] = grew = true;
                    }
                }
            }
        }
        for (size_t i = 0; i < ledges.size(); ++i) {
            EXPECT_TRUE(reached[i]) << ledges[i].name << " (top " << ledges[i].top << ", x " << ledges[i].left
                                    << " .. " << ledges[i].right << ") is out of a person's reach";
        }
    }
}
