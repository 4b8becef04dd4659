#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tmx/TmxMap.hpp"

class GameObject;

// Keeps every loaded TMX map under a short name for the whole run and builds
// scenes from them. Loading happens once at start-up; a stored map can be
// instantiated any number of times, each time into new game objects.
class MapStore {
public:
    static MapStore& instance();
    // Back to the just-constructed store: no maps (the asset cache keeps
    // their tiles until it is reset itself).
    void reset();

    // Reads and parses the map at `path`, reads its external tileset files,
    // cuts its tilesets into tile sprites (AssetManager::loadTileset; the
    // images of an image collection are loaded whole) and stores it under
    // `name`. A tileset file or image that cannot be read is reported on one
    // line ("Map <path>: tileset file <file> cannot be read: <reason>", or
    // "Couldn't load texture <image>") and its tiles are not drawn. A name already
    // taken keeps its first map (the call still returns true). On a missing,
    // unreadable or malformed file, or a tileset that would be cut into too
    // many tiles, prints "File <path> is not a valid tilemap." with the reason
    // on the next line, does not store the map (tilesets cut before a refused
    // one stay in the asset cache) and returns false. Nothing the file
    // contains makes it throw.
    bool loadMap(const std::string& path, const std::string& name);

    // Builds the scene of the stored map `name`: its tile layers on one game
    // object (`tileLayers`, see instantiateTileLayers), then one game object
    // per map object (`objects`, see instantiateObjects). Afterwards every
    // pending game object is listed at once, so the map's objects are found by
    // name immediately. createLayers adds missing render layers; smooth
    // smooths the tiles when the view scales them. An unknown name is reported and
    // builds nothing (both outputs empty).
    void instantiate(const std::string& name, std::shared_ptr<GameObject>& tileLayers,
                     std::vector<std::shared_ptr<GameObject>>& objects, bool createLayers, bool smooth);
    void instantiate(const std::string& name, bool createLayers, bool smooth);

    // The stored map, or empty.
    std::shared_ptr<const TmxMap> findMap(const std::string& name) const;
    // The directory of the stored map's file with a trailing slash, or "".
    std::string directoryOf(const std::string& name) const;

    std::map<std::string, std::shared_ptr<TmxMap>> maps;
    std::map<std::string, std::string> mapDirectories;

private:
    MapStore() = default;
    static void loadTilesetImages(const std::string& directory, const TmxTileset& tileset);
};
