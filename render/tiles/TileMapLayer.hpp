#pragma once

#include <memory>
#include <string>

#include <SFML/Graphics/Sprite.hpp>

#include "tmx/TmxMap.hpp"

// One tile layer of a stored map, as one LayerRenderComponent shows it.
// `layer` and `map` are observed: the MapStore owns them and keeps them for
// the whole run, longer than any instantiation.
class TileMapLayer {
public:
    TileMapLayer(const TmxLayer* layer, const TmxMap* map, std::string mapName);

    // The tile sprite of a global tile id, as the map loader cut it from its
    // tileset image (or its own image in an image collection), or empty: for
    // 0, for an id no tileset covers, or when the image did not load. The
    // id is a tile number without flip flags.
    // Looks the sprite up without loading anything.
    std::shared_ptr<sf::Sprite> getSprite(int globalId) const;
    // The tileset a global tile id belongs to, or null for 0 and for an id
    // below every tileset's first.
    const TmxTileset* findTileset(int globalId) const;

    const TmxLayer* layer;
    const TmxMap* map;
    // The name the map is stored under in the MapStore (for messages).
    std::string mapName;
};
