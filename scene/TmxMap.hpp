#pragma once

#include <memory>
#include <string>
#include <vector>

// The in-memory model of a TMX tile map: exactly the part of the format the
// engine reads (see `parseTmx`). Plain records; a `TmxMap` owns everything
// below it, and the map store keeps each map alive for the whole run, so
// pointers into a stored map stay valid.

// A custom property of an object group or a map object; the value stays text.
struct TmxProperty {
    std::string name;
    std::string value;
};

struct TmxTileset {
    // Global id of the tileset's first tile.
    int firstGid = 0;
    std::string name;
    // Tile size in pixels.
    int tileWidth = 0;
    int tileHeight = 0;
    // The image's path, relative to the map file's directory.
    std::string imageSource;
};

struct TmxLayer {
    std::string name;
    // Size in tiles.
    int width = 0;
    int height = 0;
    // width x height global tile ids, row by row from the top-left; 0 = no tile.
    std::vector<int> data;
    // Position among the tile layers and object groups of the file (see `parseTmx`).
    int index = 0;
};

struct TmxObject {
    std::string name;
    // Tile of a tile object, 0 for none.
    int gid = 0;
    // Top-left corner in map pixels, fractions cut toward zero.
    int x = 0;
    int y = 0;
    // Size in pixels.
    int width = 0;
    int height = 0;
    bool visible = true;
    std::vector<std::unique_ptr<TmxProperty>> properties;
};

struct TmxObjectGroup {
    std::string name;
    int width = 0;
    int height = 0;
    bool visible = true;
    // Position among the tile layers and object groups of the file (see `parseTmx`).
    int index = 0;
    std::vector<std::unique_ptr<TmxProperty>> properties;
    std::vector<std::unique_ptr<TmxObject>> objects;
};

struct TmxMap {
    // Size in tiles.
    int width = 0;
    int height = 0;
    // Size of one grid cell in pixels.
    int tileWidth = 0;
    int tileHeight = 0;
    // All three lists are in document order.
    std::vector<std::unique_ptr<TmxTileset>> tilesets;
    std::vector<std::unique_ptr<TmxLayer>> layers;
    std::vector<std::unique_ptr<TmxObjectGroup>> objectGroups;
};
