#pragma once

#include <cstdint>
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

// One tile of a tileset made of separate images.
struct TmxTileImage {
    // Local tile number, from 0 as the file counts it.
    int id = 0;
    // The image's path, relative to the map file's directory.
    std::string source;
};

struct TmxTileset {
    // Global id of the tileset's first tile.
    int firstGid = 0;
    std::string name;
    // Tile size in pixels (the largest tile of an image collection).
    int tileWidth = 0;
    int tileHeight = 0;
    // The image's path, relative to the map file's directory; empty for a
    // tileset made of separate images (`tileImages`) and for an external
    // tileset file that could not be read.
    std::string imageSource;
    // A tileset kept in its own file: its path as the map writes it,
    // relative to the map file's directory. Empty for an embedded tileset.
    std::string source;
    // The tiles of an image collection, in file order.
    std::vector<TmxTileImage> tileImages;
    // How an image is cut: `margin` pixels around the tiles, `spacing`
    // pixels between them (both 0 or more).
    int margin = 0;
    int spacing = 0;
    // As the file gives them; 0 when absent. The image decides how many
    // tiles fit a row; `tileCount`, when given, is the most tiles cut.
    int columns = 0;
    int tileCount = 0;
    // Shift in pixels of every tile of the tileset where it is drawn.
    int tileOffsetX = 0;
    int tileOffsetY = 0;
};

// A colour multiplied into what a layer draws; white leaves it unchanged.
struct TmxTint {
    uint8_t r = 255;
    uint8_t g = 255;
    uint8_t b = 255;
    uint8_t a = 255;
};

// How a tile is turned, from the top bits of its global id in the file.
enum TmxFlip : uint8_t {
    tmxFlipHorizontal = 1,
    tmxFlipVertical = 2,
    // Mirrored across the top-left to bottom-right diagonal (with the other
    // two flags this gives the quarter turns).
    tmxFlipDiagonal = 4,
};

// A tile layer, or an image layer when `imageSource` is set. The drawing
// settings already include those of the groups the layer stands in.
struct TmxLayer {
    std::string name;
    // Size in tiles (0 x 0 for an image layer).
    int width = 0;
    int height = 0;
    // width x height global tile ids, row by row from the top-left; 0 = no
    // tile. The flip flags of the file are taken out into `flips`.
    std::vector<int> data;
    // TmxFlip flags per cell, in the order of `data`; empty when no tile of
    // the layer is flipped.
    std::vector<uint8_t> flips;
    // Position among the tile layers and object groups of the file (see `parseTmx`).
    int index = 0;
    bool visible = true;
    // 0 (invisible) to 1 (as painted).
    float opacity = 1.f;
    // Shift of the whole layer in pixels.
    float offsetX = 0.f;
    float offsetY = 0.f;
    TmxTint tint;
    // The picture of an image layer, relative to the map file's directory.
    std::string imageSource;
    // How fast the layer follows the camera: 1 moves with the map, 0.5 at
    // half the camera's speed, 0 stays put on the screen. Includes the
    // factors of the layer's groups.
    float parallaxX = 1.f;
    float parallaxY = 1.f;
    // An image layer repeats its picture along the axis to fill the view.
    bool repeatX = false;
    bool repeatY = false;
};

// A point of a polyline or polygon object, in pixels from the object's x and y.
struct TmxPoint {
    float x = 0.f;
    float y = 0.f;
};

// The outline an object draws in the editor beyond its rectangle.
enum class TmxShape : uint8_t { rectangle, polyline, polygon };

struct TmxObject {
    // The map's unique number of the object; 0 when the file gives none.
    int id = 0;
    std::string name;
    // Tile of a tile object, 0 for none; a tile number without flip flags.
    int gid = 0;
    // TmxFlip flags of a tile object's tile.
    uint8_t flips = 0;
    // In map pixels, fractions cut toward zero: the top-left corner, or for
    // a tile object the bottom-left one (where the editor anchors its tile).
    int x = 0;
    int y = 0;
    // Size in pixels.
    int width = 0;
    int height = 0;
    // Degrees clockwise around (x, y).
    float rotation = 0.f;
    bool visible = true;
    // A polyline (open) or polygon (closed) object's points, in file order;
    // empty for every other shape.
    TmxShape shape = TmxShape::rectangle;
    std::vector<TmxPoint> points;
    std::vector<std::unique_ptr<TmxProperty>> properties;
};

struct TmxObjectGroup {
    std::string name;
    int width = 0;
    int height = 0;
    bool visible = true;
    // What the group's tile objects are drawn with, its groups' included
    // (see TmxLayer).
    float opacity = 1.f;
    TmxTint tint;
    float parallaxX = 1.f;
    float parallaxY = 1.f;
    // Position among the tile layers and object groups of the file (see `parseTmx`).
    int index = 0;
    std::vector<std::unique_ptr<TmxProperty>> properties;
    std::vector<std::unique_ptr<TmxObject>> objects;
};

// The order in which a tile layer's cells are drawn, so that tiles larger
// than a cell overlap their neighbours as in the editor: along the rows
// (right or left) first, the rows taken downwards or upwards.
enum class TmxRenderOrder : uint8_t { rightDown, rightUp, leftDown, leftUp };

struct TmxMap {
    // Size in tiles.
    int width = 0;
    int height = 0;
    // Size of one grid cell in pixels.
    int tileWidth = 0;
    int tileHeight = 0;
    TmxRenderOrder renderOrder = TmxRenderOrder::rightDown;
    // The point of the map, in map pixels, at which layers of every
    // parallax factor line up: where the camera's centre shows each layer
    // at its own offset.
    float parallaxOriginX = 0.f;
    float parallaxOriginY = 0.f;
    // All three lists are in document order.
    std::vector<std::unique_ptr<TmxTileset>> tilesets;
    std::vector<std::unique_ptr<TmxLayer>> layers;
    std::vector<std::unique_ptr<TmxObjectGroup>> objectGroups;
    // The directory of the map's file with a trailing slash, which the names
    // of its tileset and layer images are relative to. Set by whoever read the
    // file (the map store); empty for a map made in memory.
    std::string directory;
};
