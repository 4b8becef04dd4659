#pragma once

#include <memory>
#include <string>

#include <rapidxml/rapidxml.hpp>

#include "tmx/TmxMap.hpp"

// Reads a map's `<tileset>` element. An embedded tileset needs firstgid,
// name, tilewidth, tileheight and either an `<image>` or, for a tileset made
// of separate images, `<tile id=...>` children each with its own `<image>`;
// margin, spacing, columns and tilecount (negative ones are malformed) and a
// `<tileoffset>` are optional.
// A tileset kept in a .tsx file needs only firstgid and source; its content
// is read later by `readExternalTileset`. Throws std::runtime_error naming
// what is missing.
std::unique_ptr<TmxTileset> readTmxTileset(const rapidxml::xml_node<char>* node);

// Fills `tileset` (whose `source` is set) from the text of its .tsx file,
// zero-terminated and parsed in place; image paths become relative to the
// map's directory as those of embedded tilesets are. Throws
// std::runtime_error with the reason when the text is malformed; `tileset`
// is unchanged then.
void readTsx(char* text, TmxTileset& tileset);

// More tiles than any image collection needs, few enough that a malformed
// file cannot make the loader open millions of images.
constexpr int maxTilesetImages = 4096;
