#pragma once

#include <memory>

#include "scene/TmxMap.hpp"

// Reads a TMX map (XML as the tile-map editor writes it, tile layers in CSV)
// into its model. `text` is the whole file, zero-terminated; it is parsed in
// place and changed by the parser.
//
// The elements read are: `map` (width, height, tilewidth, tileheight), every
// `tileset` child (firstgid, name, tilewidth, tileheight and the source of its
// `image`), and from the first tile layer on (or from the first object group,
// when one stands before it) every `layer` (name, width, height, CSV `data`)
// and `objectgroup` (name; width, height, visible optional; `properties`;
// `object`s with x, y and optional name, gid, width, height, visible and
// `properties`). Numbers are read like C's strtol: leading digits count,
// fractions are cut toward zero, text without digits reads 0.
//
// Each layer and group gets as `index` its position among the elements from
// that first layer or group on, so tile layers and object groups are ordered
// together as they stand in the file.
//
// Throws std::runtime_error, with the reason, on text that is not XML and on
// malformed maps: a required attribute or child missing, no tile layer, a
// layer whose size is negative or absurdly large, whose `data` holds more
// numbers than cells, or whose data is not CSV text (another encoding,
// compression, XML tiles or an infinite map's chunks). Cells the data leaves
// out are 0 (no tile).
std::unique_ptr<TmxMap> parseTmx(char* text);

// The largest number of cells a tile layer may have (4096 x 4096).
constexpr long long maxTmxLayerCells = 4096LL * 4096LL;
