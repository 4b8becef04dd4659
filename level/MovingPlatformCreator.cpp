#include "level/MovingPlatformCreator.hpp"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "level/MapStore.hpp"
#include "physics/MovingPlatformComponent.hpp"

namespace {
std::string setting(const PropertyMap& properties, const std::string& positional, const std::string& named,
                    const std::string& fallback) {
    if (auto found = properties.find(positional); found != properties.end()) {
        return found->second;
    }
    if (auto found = properties.find(named); found != properties.end()) {
        return found->second;
    }
    return fallback;
}

bool isNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// By name first: a name made of digits still means that object.
const TmxObject* findPath(const TmxMap& map, const std::string& reference) {
    for (const auto& group : map.objectGroups) {
        for (const auto& object : group->objects) {
            if (object->name == reference) {
                return object.get();
            }
        }
    }
    if (!isNumber(reference) || reference.size() > 9) {
        return nullptr;
    }
    const int id = std::stoi(reference);
    for (const auto& group : map.objectGroups) {
        for (const auto& object : group->objects) {
            if (object->id == id && id != 0) {
                return object.get();
            }
        }
    }
    return nullptr;
}

// The path's points in the world, whose origin is the map's centre, turned
// with the object about its own x and y as the editor shows it.
std::vector<sf::Vector2f> worldPoints(const TmxMap& map, const TmxObject& path) {
    const float halfWidth = static_cast<float>(map.tileWidth) * static_cast<float>(map.width) / 2.f;
    const float halfHeight = static_cast<float>(map.tileHeight) * static_cast<float>(map.height) / 2.f;
    const float radians = path.rotation * 3.14159265f / 180.f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    std::vector<sf::Vector2f> points;
    for (const auto& point : path.points) {
        points.emplace_back(static_cast<float>(path.x) + point.x * c - point.y * s - halfWidth,
                            static_cast<float>(path.y) + point.x * s + point.y * c - halfHeight);
    }
    return points;
}
} // namespace

std::shared_ptr<Component> createMovingPlatform(std::shared_ptr<GameObject> gameObject,
                                                PropertyMap properties) {
    const std::string reference = setting(properties, "0", "path", "");
    auto map = MapStore::instance().findMap(properties.at("#map"));
    const TmxObject* path = map ? findPath(*map, reference) : nullptr;
    if (!path) {
        throw std::invalid_argument("path \"" + reference + "\" names no object of the map");
    }
    if (path->shape == TmxShape::rectangle || path->points.size() < 2) {
        throw std::invalid_argument("path \"" + reference +
                                    "\" is not a polyline or polygon of two points or more");
    }
    const std::string speedText = setting(properties, "1", "speed", "100");
    const float speed = std::stof(speedText);
    if (!std::isfinite(speed) || speed < 0.f) {
        throw std::invalid_argument("speed is not a number of 0 or more: " + speedText);
    }
    const std::string loopText =
        setting(properties, "2", "loop", path->shape == TmxShape::polygon ? "true" : "false");
    const bool loop = loopText == "true" || loopText == "1";
    return addComponent<MovingPlatformComponent>(gameObject, worldPoints(*map, *path), speed, loop);
}
