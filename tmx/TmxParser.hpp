#pragma once

#include <memory>

#include "tmx/TmxMap.hpp"

// Reads an orthogonal TMX map, as the tile-map editor saves it, into its
// model. `text` is the whole file, zero-terminated; it is parsed in place and
// changed by the parser.
//
// The elements read are: `map` (width, height, tilewidth, tileheight,
// orientation, infinite, renderorder, parallaxoriginx/y), every `tileset` child (see TmxTilesetReader.hpp;
// external .tsx files are left for the map store to read), and from the
// first layer on (or from the first object group, when one stands before it)
// every `layer`, `imagelayer` and `objectgroup`, inside `group`s too. Tile
// data may be CSV, Base64 (plain, zlib, gzip or zstd), XML `tile`s or an
// infinite map's `chunk`s; the flip flags of a tile number are taken apart
// from it. Layers and groups give visible, opacity, offsetx, offsety and
// tintcolor, parallaxx and parallaxy (factors clamped to -100 .. 100);
// image layers repeatx and repeaty; a layer in a group takes on the group's
// (offsets add up, the rest multiply). Objects give gid (with its flip
// flags), x, y, width, height, rotation and visible. Numbers are read like C's strtol: leading digits count,
// fractions are cut toward zero, text without digits reads 0.
//
// Each layer and object group gets as `index` its position among the
// elements from that first one on (groups themselves take no place), so they
// are ordered together as they stand in the file. An infinite map's size is
// that of all its chunks together, and its objects move with the origin.
//
// Throws std::runtime_error, with the reason, on text that is not XML and on
// maps it cannot read: an orientation other than orthogonal, a required
// attribute or child missing, an unknown render order, no tile layer, a layer whose size is negative
// or absurdly large, data that holds more numbers than cells, is malformed
// or uses an unknown encoding or compression, or a chunk outside a finite
// map. Cells the data leaves out are 0 (no tile).
std::unique_ptr<TmxMap> parseTmx(char* text);

// The largest number of cells a tile layer may have (4096 x 4096).
constexpr long long maxTmxLayerCells = 4096LL * 4096LL;
