#include "level/InstantiateObjects.hpp"

#include <algorithm>
#include <exception>
#include <utility>

#include "core/Report.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/TileObjectRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

// What the loader knows about one map object, for its components and its messages.
struct ObjectContext {
    const std::string& mapName;
    const TmxMap& map;
    const TmxObjectGroup& group;
    const TmxObject& object;
    const std::string& directory;
};

void report(const ObjectContext& context, const std::string& problem) {
    reportProblem("Map %s, object \"%s\" in %s: %s", context.mapName.c_str(), context.object.name.c_str(),
                  context.group.name.c_str(), problem.c_str());
}

// Instance name -> its property map, from the object's properties in order.
std::map<std::string, PropertyMap> readInstances(const ObjectContext& context) {
    std::map<std::string, PropertyMap> instances;
    for (const auto& property : context.object.properties) {
        const auto hash = property->name.find('#');
        if (hash == std::string::npos) {
            instances.emplace(property->name, PropertyMap{{"", property->value}});
            continue;
        }
        auto instance = instances.find(property->name.substr(0, hash));
        if (instance == instances.end()) {
            report(context,
                   "setting \"" + property->name + "\" names no component declared before it; ignored");
            continue;
        }
        instance->second.emplace(toLower(property->name.substr(hash + 1)), property->value);
    }
    return instances;
}

void addPseudoProperties(const ObjectContext& context, PropertyMap& properties) {
    properties.emplace("#name", context.object.name);
    properties.emplace("#layer", context.group.name);
    properties.emplace("#width", std::to_string(context.object.width));
    properties.emplace("#height", std::to_string(context.object.height));
    properties.emplace("#tileWidth", std::to_string(context.map.tileWidth));
    properties.emplace("#tileHeight", std::to_string(context.map.tileHeight));
    properties.emplace("#directory", context.directory);
    properties.emplace("#map", context.mapName);
}

// Builds one component; a creator that throws leaves nothing of it behind.
void buildComponent(const ObjectContext& context, const std::shared_ptr<GameObject>& gameObject,
                    const std::string& instanceName, PropertyMap properties) {
    const std::string type = properties[""];
    const size_t componentsBefore = gameObject->components.size();
    std::string failure;
    try {
        GameObjectManager::instance().createComponent(type, gameObject, std::move(properties));
        return;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "unknown error";
    }
    std::vector<std::shared_ptr<Component>> halfBuilt(gameObject->components.begin() + componentsBefore,
                                                      gameObject->components.end());
    for (const auto& component : halfBuilt) {
        gameObject->removeComponent(component);
    }
    report(context, "component \"" + instanceName + "\" (" + type + ") was not built: " + failure);
}

// A tile object without a drawing of its own shows its tile, as the editor does.
void addTileDrawing(const ObjectContext& context, const std::shared_ptr<GameObject>& gameObject,
                    sf::Vector2f anchor, bool smooth) {
    const auto& components = gameObject->components;
    if (context.object.gid == 0 ||
        std::any_of(components.begin(), components.end(), [](const auto& component) {
            return std::dynamic_pointer_cast<RenderableComponent>(component) != nullptr;
        })) {
        return;
    }
    auto& renderManager = RenderManager::instance();
    auto layer = renderManager.findLayer(context.group.name);
    if (!layer) {
        layer = renderManager.findLayerForRenderer(context.group.name);
    }
    auto tiles = std::make_shared<TileMapLayer>(nullptr, &context.map, context.mapName);
    addComponent<TileObjectRendererComponent>(gameObject, tiles, context.group, context.object, anchor, layer,
                                              smooth);
}

std::shared_ptr<GameObject> buildObject(const ObjectContext& context,
                                        const std::shared_ptr<GameObject>& parent,
                                        const sf::Vector2f& mapSize, bool smooth) {
    const TmxObject& object = context.object;
    auto gameObject = GameObjectManager::instance().createGameObject(object.name);
    // Parent and activity first, so that every component's init sees them.
    gameObject->parent = parent;
    gameObject->setActive(object.visible);
    // A tile object's x and y are the bottom-left corner of its tile.
    const sf::Vector2f corner(object.x - mapSize.x / 2.f, object.y - mapSize.y / 2.f);
    const float top = object.gid != 0 ? corner.y - object.height : corner.y;
    const sf::Vector2f centre(corner.x + object.width / 2.f, top + object.height / 2.f);
    gameObject->transform->setPosition(centre);
    for (auto& [instanceName, properties] : readInstances(context)) {
        if (properties[""] == "tag") {
            gameObject->addTag(instanceName);
            continue;
        }
        addPseudoProperties(context, properties);
        buildComponent(context, gameObject, instanceName, std::move(properties));
    }
    addTileDrawing(context, gameObject, corner - centre, smooth);
    return gameObject;
}

// The group's render layer goes to the group's place among the map's layers.
void placeRenderLayer(const TmxObjectGroup& group, bool createLayers) {
    auto& renderManager = RenderManager::instance();
    auto layer = renderManager.findLayer(group.name);
    if (!layer && createLayers) {
        layer = renderManager.addLayer(group.name);
    }
    if (layer) {
        renderManager.moveLayer(layer, group.index);
    }
}

} // namespace

void instantiateObjects(const std::string& mapName, std::vector<std::shared_ptr<GameObject>>& objects,
                        bool createLayers, bool smooth) {
    objects.clear();
    auto& store = MapStore::instance();
    auto map = store.findMap(mapName);
    if (!map) {
        reportProblem("Map %s is not loaded; its objects were not built", mapName.c_str());
        return;
    }
    const std::string directory = store.directoryOf(mapName);
    const sf::Vector2f mapSize(static_cast<float>(map->tileWidth) * static_cast<float>(map->width),
                               static_cast<float>(map->tileHeight) * static_cast<float>(map->height));
    auto& physics = PhysicsManager::instance();
    // Every group is a layer before any rule names it or any body joins it.
    for (const auto& group : map->objectGroups) {
        physics.getOrCreateCollisionLayer(group->name);
    }
    for (const auto& group : map->objectGroups) {
        auto groupObject = GameObjectManager::instance().createGameObject(group->name);
        groupObject->setActive(group->visible);
        placeRenderLayer(*group, createLayers);
        std::vector<std::pair<std::string, std::string>> rules;
        for (const auto& property : group->properties) {
            rules.emplace_back(property->name, property->value);
        }
        physics.applyCollisionRules(group->name, rules);
        for (const auto& object : group->objects) {
            ObjectContext context{mapName, *map, *group, *object, directory};
            objects.push_back(buildObject(context, groupObject, mapSize, smooth));
        }
    }
}
