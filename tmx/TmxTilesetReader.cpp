#include "tmx/TmxTilesetReader.hpp"

#include "core/Paths.hpp"
#include "core/XmlNesting.hpp"
#include "tmx/TmxXml.hpp"

using namespace tmx;

namespace {

// Name, tile size and pictures of a tileset, from a map or a .tsx file.
// `prefix` leads from the map's directory to the file the element stands in.
int nonNegative(const XmlNode* node, const char* name) {
    const int value = optionalInt(node, name, 0);
    if (value < 0) {
        malformed(describe(node) + " has a negative " + name + " of " + std::to_string(value));
    }
    return value;
}

void readContent(const XmlNode* node, const std::string& prefix, TmxTileset& tileset) {
    tileset.name = requiredAttribute(node, "name");
    tileset.tileWidth = requiredInt(node, "tilewidth");
    tileset.tileHeight = requiredInt(node, "tileheight");
    tileset.margin = nonNegative(node, "margin");
    tileset.spacing = nonNegative(node, "spacing");
    tileset.columns = nonNegative(node, "columns");
    tileset.tileCount = nonNegative(node, "tilecount");
    if (const XmlNode* offset = node->first_node("tileoffset")) {
        tileset.tileOffsetX = optionalInt(offset, "x", 0);
        tileset.tileOffsetY = optionalInt(offset, "y", 0);
    }
    if (const XmlNode* image = node->first_node("image")) {
        tileset.imageSource = prefix + requiredAttribute(image, "source");
        return;
    }
    for (auto* tile = node->first_node("tile"); tile; tile = tile->next_sibling("tile")) {
        const XmlNode* image = tile->first_node("image");
        if (!image) {
            continue;
        }
        if (tileset.tileImages.size() >= static_cast<size_t>(maxTilesetImages)) {
            malformed(describe(node) + " holds more than " + std::to_string(maxTilesetImages) + " images");
        }
        tileset.tileImages.push_back({requiredInt(tile, "id"), prefix + requiredAttribute(image, "source")});
    }
    if (tileset.tileImages.empty()) {
        malformed(describe(node) + " lacks an <image> element");
    }
}

} // namespace

std::unique_ptr<TmxTileset> readTmxTileset(const XmlNode* node) {
    auto tileset = std::make_unique<TmxTileset>();
    tileset->firstGid = requiredInt(node, "firstgid");
    if (const char* source = optionalAttribute(node, "source")) {
        tileset->source = source;
        return tileset;
    }
    readContent(node, "", *tileset);
    return tileset;
}

void readTsx(char* text, TmxTileset& tileset) {
    rapidxml::xml_document<char> document;
    try {
        parseXml(document, text);
    } catch (const rapidxml::parse_error& error) {
        malformed(std::string("XML syntax error: ") + error.what());
    }
    const XmlNode* root = document.first_node("tileset");
    if (!root) {
        malformed("there is no <tileset> element");
    }
    // Read whole before anything is kept: a malformed file leaves `tileset` as it was.
    TmxTileset read;
    readContent(root, directoryOfPath(tileset.source), read);
    read.firstGid = tileset.firstGid;
    read.source = std::move(tileset.source);
    tileset = std::move(read);
}
