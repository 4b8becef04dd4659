#include "render/tiles/TileMapLayer.hpp"

#include <utility>

#include "render/AssetManager.hpp"

TileMapLayer::TileMapLayer(const TmxLayer* layer, const TmxMap* map, std::string mapName)
    : layer(layer), map(map), mapName(std::move(mapName)) {}

const TmxTileset* TileMapLayer::findTileset(int globalId) const {
    if (globalId == 0 || !map || map->tilesets.empty() || globalId < map->tilesets.front()->firstGid) {
        return nullptr;
    }
    // Tilesets are listed by increasing first id: the tile belongs to the
    // last one that starts at or below it.
    const TmxTileset* tileset = nullptr;
    for (const auto& candidate : map->tilesets) {
        if (candidate->firstGid > globalId) {
            break;
        }
        tileset = candidate.get();
    }
    return tileset;
}

std::shared_ptr<sf::Sprite> TileMapLayer::getSprite(int globalId) const {
    const TmxTileset* tileset = findTileset(globalId);
    if (!tileset) {
        return nullptr;
    }
    // In 64 bits: content may put any int in either number.
    long long localNumber = static_cast<long long>(globalId) - tileset->firstGid + 1;
    const std::string& directory = map->directory;
    std::string name;
    if (!tileset->imageSource.empty()) {
        name = directory + tileset->imageSource + std::to_string(localNumber);
    } else {
        // An image collection: each tile is its own picture, found by its id.
        for (const auto& tile : tileset->tileImages) {
            if (tile.id == localNumber - 1) {
                name = directory + tile.source;
                break;
            }
        }
        if (name.empty()) {
            return nullptr;
        }
    }
    const auto& sprites = AssetManager::instance().sprites;
    auto found = sprites.find(name);
    return found == sprites.end() ? nullptr : found->second;
}
