#include "level/MapStore.hpp"

#include <exception>

#include "core/FreshState.hpp"
#include "core/Paths.hpp"
#include "core/Report.hpp"
#include "level/InstantiateObjects.hpp"
#include "level/InstantiateTileLayers.hpp"
#include "render/AssetManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "tmx/TmxParser.hpp"
#include "tmx/TmxTilesetReader.hpp"

MapStore& MapStore::instance() {
    static MapStore store;
    return store;
}

void MapStore::reset() {
    replaceWithFresh(*this, MapStore());
}

bool MapStore::loadMap(const std::string& path, const std::string& name) {
    std::shared_ptr<TmxMap> map;
    const std::string directory = directoryOfPath(path);
    // Everything a map file decides runs in here, tileset cutting included:
    // whatever it throws refuses the map instead of ending the program.
    try {
        std::vector<char> text = AssetManager::readFile(path);
        map = parseTmx(text.data());
        // A tileset file or image that cannot be loaded is reported and its
        // tiles are simply not drawn; an image that would be cut into too
        // many tiles throws.
        for (const auto& tileset : map->tilesets) {
            if (!tileset->source.empty()) {
                try {
                    std::vector<char> text = AssetManager::readFile(directory + tileset->source);
                    readTsx(text.data(), *tileset);
                } catch (const std::exception& error) {
                    reportProblem("Map %s: tileset file %s cannot be read: %s", path.c_str(),
                                  (directory + tileset->source).c_str(), error.what());
                    continue;
                }
            }
            loadTilesetImages(directory, *tileset);
        }
        for (const auto& layer : map->layers) {
            if (!layer->imageSource.empty()) {
                AssetManager::instance().getSprite(directory + layer->imageSource);
            }
        }
    } catch (const std::exception& error) {
        reportProblemWithDetail("File " + path + " is not a valid tilemap.",
                                std::string("  ") + error.what());
        return false;
    }
    map->directory = directory;
    mapDirectories.emplace(name, directory);
    maps.emplace(name, std::move(map));
    return true;
}

void MapStore::loadTilesetImages(const std::string& directory, const TmxTileset& tileset) {
    auto& assets = AssetManager::instance();
    if (!tileset.imageSource.empty()) {
        assets.loadTileset(directory + tileset.imageSource, tileset.tileWidth, tileset.tileHeight,
                           tileset.margin, tileset.spacing, tileset.tileCount);
    }
    for (const auto& tile : tileset.tileImages) {
        assets.getSprite(directory + tile.source);
    }
}

void MapStore::instantiate(const std::string& name, std::shared_ptr<GameObject>& tileLayers,
                           std::vector<std::shared_ptr<GameObject>>& objects, bool createLayers,
                           bool smooth) {
    tileLayers.reset();
    objects.clear();
    if (!findMap(name)) {
        reportProblem("Map %s is not loaded; nothing was built", name.c_str());
        return;
    }
    tileLayers = instantiateTileLayers(name, createLayers, smooth);
    instantiateObjects(name, objects, createLayers, smooth);
    GameObjectManager::instance().flushPendingAdditions();
}

void MapStore::instantiate(const std::string& name, bool createLayers, bool smooth) {
    std::shared_ptr<GameObject> tileLayers;
    std::vector<std::shared_ptr<GameObject>> objects;
    instantiate(name, tileLayers, objects, createLayers, smooth);
}

std::shared_ptr<const TmxMap> MapStore::findMap(const std::string& name) const {
    auto found = maps.find(name);
    return found == maps.end() ? nullptr : found->second;
}

std::string MapStore::directoryOf(const std::string& name) const {
    auto found = mapDirectories.find(name);
    return found == mapDirectories.end() ? std::string() : found->second;
}
