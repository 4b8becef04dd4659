#include "tmx/TmxParser.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include <rapidxml/rapidxml.hpp>

#include "core/XmlNesting.hpp"
#include "tmx/TmxTileData.hpp"
#include "tmx/TmxTilesetReader.hpp"
#include "tmx/TmxXml.hpp"

using namespace tmx;

namespace {

// The top bits of a global tile id in the file: flips, then one bit that
// only hexagonal maps use. The rest is the tile number.
constexpr long long flipHorizontalBit = 0x80000000LL;
constexpr long long flipVerticalBit = 0x40000000LL;
constexpr long long flipDiagonalBit = 0x20000000LL;
constexpr long long tileNumberMask = 0x0FFFFFFFLL;

// Drawing settings handed down from the groups a layer stands in.
struct Inherited {
    bool visible = true;
    float opacity = 1.f;
    float offsetX = 0.f;
    float offsetY = 0.f;
    TmxTint tint;
    float parallaxX = 1.f;
    float parallaxY = 1.f;
};

// Parallax factors beyond this make no picture anyone wants, and keep the
// scroll of a layer far inside what a float holds.
constexpr float largestParallax = 100.f;
// Farther from the map than any map reaches (4096 cells of 4096 pixels).
constexpr float farthestParallaxOrigin = 1.e8f;

float optionalFloat(const XmlNode* node, const char* name, float absent) {
    const char* text = optionalAttribute(node, name);
    if (!text) {
        return absent;
    }
    const float value = std::strtof(text, nullptr);
    return std::isfinite(value) ? value : absent;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "#rrggbb" or "#aarrggbb", the '#' optional.
TmxTint readTint(const XmlNode* node) {
    TmxTint tint;
    const char* text = optionalAttribute(node, "tintcolor");
    if (!text) {
        return tint;
    }
    if (*text == '#') {
        ++text;
    }
    const size_t length = std::strlen(text);
    uint8_t channels[4] = {255, 255, 255, 255};
    if (length != 6 && length != 8) {
        malformed(describe(node) + " has the malformed tintcolor \"" + text + "\"");
    }
    for (size_t i = 0; i < length / 2; ++i) {
        const int high = hexDigit(text[i * 2]);
        const int low = hexDigit(text[i * 2 + 1]);
        if (high < 0 || low < 0) {
            malformed(describe(node) + " has the malformed tintcolor \"" + text + "\"");
        }
        channels[i + (length == 6 ? 1 : 0)] = static_cast<uint8_t>(high * 16 + low);
    }
    return {channels[1], channels[2], channels[3], channels[0]};
}

uint8_t multiply(uint8_t a, uint8_t b) {
    return static_cast<uint8_t>((a * b + 127) / 255);
}

// A layer or group's own settings on top of those of its groups.
Inherited combine(const Inherited& outer, const XmlNode* node) {
    Inherited inner;
    inner.visible = outer.visible && optionalInt(node, "visible", 1) != 0;
    inner.opacity = outer.opacity * std::clamp(optionalFloat(node, "opacity", 1.f), 0.f, 1.f);
    inner.offsetX = outer.offsetX + optionalFloat(node, "offsetx", 0.f);
    inner.offsetY = outer.offsetY + optionalFloat(node, "offsety", 0.f);
    const TmxTint own = readTint(node);
    inner.tint = {multiply(outer.tint.r, own.r), multiply(outer.tint.g, own.g), multiply(outer.tint.b, own.b),
                  multiply(outer.tint.a, own.a)};
    // A group's factor multiplies those of the layers inside it.
    inner.parallaxX = outer.parallaxX *
                      std::clamp(optionalFloat(node, "parallaxx", 1.f), -largestParallax, largestParallax);
    inner.parallaxY = outer.parallaxY *
                      std::clamp(optionalFloat(node, "parallaxy", 1.f), -largestParallax, largestParallax);
    inner.parallaxX = std::clamp(inner.parallaxX, -largestParallax, largestParallax);
    inner.parallaxY = std::clamp(inner.parallaxY, -largestParallax, largestParallax);
    return inner;
}

void applySettings(TmxLayer& layer, const Inherited& settings) {
    layer.visible = settings.visible;
    layer.opacity = settings.opacity;
    layer.offsetX = settings.offsetX;
    layer.offsetY = settings.offsetY;
    layer.tint = settings.tint;
    layer.parallaxX = settings.parallaxX;
    layer.parallaxY = settings.parallaxY;
}

void readProperties(const XmlNode* owner, std::vector<std::unique_ptr<TmxProperty>>& properties) {
    auto* list = owner->first_node("properties");
    if (!list) {
        return;
    }
    for (auto* node = list->first_node("property"); node; node = node->next_sibling("property")) {
        auto property = std::make_unique<TmxProperty>();
        property->name = requiredAttribute(node, "name");
        property->value = requiredAttribute(node, "value");
        properties.push_back(std::move(property));
    }
}

const XmlNode* firstElement(const XmlNode* node) {
    for (auto* child = node->first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element) {
            return child;
        }
    }
    return nullptr;
}

// A global tile id of the file taken apart into the tile number and its
// TmxFlip flags. Numbers outside 32 bits cannot carry flags and are kept,
// clamped to int, as written.
int splitTileNumber(long long number, uint8_t& flags) {
    if (number < 0 || number > 0xFFFFFFFFLL) {
        flags = 0;
        return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
    }
    flags = static_cast<uint8_t>(((number & flipHorizontalBit) ? tmxFlipHorizontal : 0) |
                                 ((number & flipVerticalBit) ? tmxFlipVertical : 0) |
                                 ((number & flipDiagonalBit) ? tmxFlipDiagonal : 0));
    return static_cast<int>(number & tileNumberMask);
}

// Stores a number of the file in a cell: the flip flags go to `flips`, the
// tile number to `data`.
void setCell(TmxLayer& layer, size_t cell, long long number) {
    uint8_t flags = 0;
    layer.data[cell] = splitTileNumber(number, flags);
    if (flags != 0) {
        if (layer.flips.empty()) {
            layer.flips.assign(layer.data.size(), 0);
        }
        layer.flips[cell] = flags;
    }
}

std::string describeLayer(const TmxLayer& layer) {
    return "tile layer \"" + layer.name + "\"";
}

void checkSize(const TmxLayer& layer) {
    const long long cells = static_cast<long long>(layer.width) * layer.height;
    if (layer.width < 0 || layer.height < 0 || cells > maxTmxLayerCells) {
        malformed(describeLayer(layer) + " has an unusable size of " + std::to_string(layer.width) + " x " +
                  std::to_string(layer.height) + " cells");
    }
}

// Chunks of a layer; `originX`, `originY` is the cell of the layer's top-left
// corner in chunk coordinates (not 0 for infinite maps).
void readChunks(const XmlNode* data, TmxLayer& layer, long long originX, long long originY) {
    const char* encoding = optionalAttribute(data, "encoding");
    const char* compression = optionalAttribute(data, "compression");
    for (auto* chunk = data->first_node("chunk"); chunk; chunk = chunk->next_sibling("chunk")) {
        const long long x = static_cast<long long>(requiredInt(chunk, "x")) - originX;
        const long long y = static_cast<long long>(requiredInt(chunk, "y")) - originY;
        const int width = requiredInt(chunk, "width");
        const int height = requiredInt(chunk, "height");
        if (width < 0 || height < 0 || x < 0 || y < 0 || x + width > layer.width ||
            y + height > layer.height) {
            malformed(describeLayer(layer) + " has a chunk at (" + std::to_string(x + originX) + ", " +
                      std::to_string(y + originY) + ") of " + std::to_string(width) + " x " +
                      std::to_string(height) + " cells outside the map");
        }
        readTileData(chunk->value(), encoding, compression, width, height, describeLayer(layer),
                     [&](int column, int row, long long number) {
                         setCell(layer,
                                 static_cast<size_t>(x + column) + static_cast<size_t>(y + row) * layer.width,
                                 number);
                     });
    }
}

// The old XML form: one <tile gid="..."/> per cell.
void readXmlTiles(const XmlNode* data, TmxLayer& layer) {
    size_t cell = 0;
    for (auto* tile = data->first_node("tile"); tile; tile = tile->next_sibling("tile")) {
        if (cell == layer.data.size()) {
            malformed(describeLayer(layer) + " holds more tiles than its " + std::to_string(layer.width) +
                      " x " + std::to_string(layer.height) + " cells");
        }
        const char* gid = optionalAttribute(tile, "gid");
        setCell(layer, cell++, gid ? std::strtoll(gid, nullptr, 10) : 0);
    }
}

void readData(const XmlNode* data, TmxLayer& layer, long long originX, long long originY) {
    layer.data.assign(static_cast<size_t>(layer.width) * static_cast<size_t>(layer.height), 0);
    layer.flips.clear();
    const XmlNode* element = firstElement(data);
    if (element && named(element, "chunk")) {
        readChunks(data, layer, originX, originY);
    } else if (element && named(element, "tile")) {
        readXmlTiles(data, layer);
    } else if (element) {
        malformed(describeLayer(layer) + " holds <" + element->name() + "> elements instead of tiles");
    } else {
        readTileData(
            data->value(), optionalAttribute(data, "encoding"), optionalAttribute(data, "compression"),
            layer.width, layer.height, describeLayer(layer), [&](int column, int row, long long number) {
                setCell(layer, static_cast<size_t>(column) + static_cast<size_t>(row) * layer.width, number);
            });
    }
}

// "x1,y1 x2,y2 ...": the points of a polyline or polygon. A pair that does
// not read as two finite numbers makes the map malformed.
std::vector<TmxPoint> readPoints(const XmlNode* shape) {
    std::vector<TmxPoint> points;
    const char* text = requiredAttribute(shape, "points");
    while (*text != '\0') {
        while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') {
            ++text;
        }
        if (*text == '\0') {
            break;
        }
        char* end = nullptr;
        const float x = std::strtof(text, &end);
        if (end == text || *end != ',') {
            malformed(describe(shape) + " has a malformed point list");
        }
        text = end + 1;
        const float y = std::strtof(text, &end);
        if (end == text || !std::isfinite(x) || !std::isfinite(y)) {
            malformed(describe(shape) + " has a malformed point list");
        }
        points.push_back({x, y});
        text = end;
    }
    return points;
}

void readShape(const XmlNode* node, TmxObject& object) {
    if (const XmlNode* polyline = node->first_node("polyline")) {
        object.shape = TmxShape::polyline;
        object.points = readPoints(polyline);
    } else if (const XmlNode* polygon = node->first_node("polygon")) {
        object.shape = TmxShape::polygon;
        object.points = readPoints(polygon);
    }
}

std::unique_ptr<TmxObject> readObject(const XmlNode* node) {
    auto object = std::make_unique<TmxObject>();
    object->id = optionalInt(node, "id", 0);
    if (const char* name = optionalAttribute(node, "name")) {
        object->name = name;
    }
    if (const char* gid = optionalAttribute(node, "gid")) {
        object->gid = splitTileNumber(std::strtoll(gid, nullptr, 10), object->flips);
    }
    object->x = requiredInt(node, "x");
    object->y = requiredInt(node, "y");
    object->width = optionalInt(node, "width", 0);
    object->height = optionalInt(node, "height", 0);
    // Whole turns are taken out, so any finite angle draws.
    object->rotation = std::fmod(optionalFloat(node, "rotation", 0.f), 360.f);
    object->visible = optionalInt(node, "visible", 1) != 0;
    readShape(node, *object);
    readProperties(node, object->properties);
    return object;
}

std::unique_ptr<TmxObjectGroup> readObjectGroup(const XmlNode* node, int index, const Inherited& outer) {
    auto group = std::make_unique<TmxObjectGroup>();
    group->name = requiredAttribute(node, "name");
    group->width = optionalInt(node, "width", 0);
    group->height = optionalInt(node, "height", 0);
    const Inherited settings = combine(outer, node);
    group->visible = settings.visible;
    group->opacity = settings.opacity;
    group->tint = settings.tint;
    group->parallaxX = settings.parallaxX;
    group->parallaxY = settings.parallaxY;
    group->index = index;
    readProperties(node, group->properties);
    for (auto* child = node->first_node("object"); child; child = child->next_sibling("object")) {
        group->objects.push_back(readObject(child));
    }
    return group;
}

bool isLayerElement(const XmlNode* node) {
    return named(node, "layer") || named(node, "objectgroup") || named(node, "group") ||
           named(node, "imagelayer");
}

// Reads a map's layers in file order, into groups and out again.
class LayerWalk {
public:
    LayerWalk(TmxMap& map, bool infinite) : map(map), infinite(infinite) {}

    void walk(const XmlNode* first, const Inherited& outer) {
        for (auto* node = first; node; node = node->next_sibling()) {
            if (node->type() != rapidxml::node_element) {
                continue;
            }
            if (named(node, "group")) {
                // The group itself takes no place in the order; its layers do.
                walk(node->first_node(), combine(outer, node));
                continue;
            }
            if (named(node, "layer")) {
                readLayer(node, outer);
            } else if (named(node, "objectgroup")) {
                map.objectGroups.push_back(readObjectGroup(node, index, outer));
            } else if (named(node, "imagelayer")) {
                readImageLayer(node, outer);
            }
            ++index;
        }
    }

    // Infinite maps: the layers span every chunk of every layer.
    void readInfiniteData() {
        long long left = 0, top = 0, right = 0, bottom = 0;
        bool any = false;
        for (const auto& pending : infiniteLayers) {
            for (auto* chunk = pending.second->first_node("chunk"); chunk;
                 chunk = chunk->next_sibling("chunk")) {
                const long long x = requiredInt(chunk, "x");
                const long long y = requiredInt(chunk, "y");
                const long long width = std::max(0, requiredInt(chunk, "width"));
                const long long height = std::max(0, requiredInt(chunk, "height"));
                left = any ? std::min(left, x) : x;
                top = any ? std::min(top, y) : y;
                right = any ? std::max(right, x + width) : x + width;
                bottom = any ? std::max(bottom, y + height) : y + height;
                any = true;
            }
        }
        const long long width = right - left;
        const long long height = bottom - top;
        if (width > INT_MAX || height > INT_MAX || width * height > maxTmxLayerCells) {
            malformed("the chunks of the infinite map span an unusable " + std::to_string(width) + " x " +
                      std::to_string(height) + " cells");
        }
        map.width = static_cast<int>(width);
        map.height = static_cast<int>(height);
        for (const auto& pending : infiniteLayers) {
            pending.first->width = map.width;
            pending.first->height = map.height;
            readData(pending.second, *pending.first, left, top);
        }
        // Objects are placed from the editor's origin, which is now cell (-left, -top).
        const long long shiftX = -left * map.tileWidth;
        const long long shiftY = -top * map.tileHeight;
        for (auto& group : map.objectGroups) {
            for (auto& object : group->objects) {
                object->x = static_cast<int>(std::clamp<long long>(object->x + shiftX, INT_MIN, INT_MAX));
                object->y = static_cast<int>(std::clamp<long long>(object->y + shiftY, INT_MIN, INT_MAX));
            }
        }
    }

private:
    void readLayer(const XmlNode* node, const Inherited& outer) {
        auto layer = std::make_unique<TmxLayer>();
        layer->name = requiredAttribute(node, "name");
        layer->width = requiredInt(node, "width");
        layer->height = requiredInt(node, "height");
        layer->index = index;
        applySettings(*layer, combine(outer, node));
        checkSize(*layer);
        const XmlNode* data = requiredChild(node, "data");
        if (infinite) {
            infiniteLayers.emplace_back(layer.get(), data);
        } else {
            readData(data, *layer, 0, 0);
        }
        map.layers.push_back(std::move(layer));
    }

    void readImageLayer(const XmlNode* node, const Inherited& outer) {
        const XmlNode* image = node->first_node("image");
        const char* source = image ? optionalAttribute(image, "source") : nullptr;
        if (!source || *source == '\0') {
            return; // The editor saves image layers that have no picture yet.
        }
        auto layer = std::make_unique<TmxLayer>();
        layer->name = requiredAttribute(node, "name");
        layer->index = index;
        layer->imageSource = source;
        layer->repeatX = optionalInt(node, "repeatx", 0) != 0;
        layer->repeatY = optionalInt(node, "repeaty", 0) != 0;
        applySettings(*layer, combine(outer, node));
        map.layers.push_back(std::move(layer));
    }

    TmxMap& map;
    bool infinite;
    int index = 0;
    std::vector<std::pair<TmxLayer*, const XmlNode*>> infiniteLayers;
};

TmxRenderOrder readRenderOrder(const XmlNode* map) {
    const char* text = optionalAttribute(map, "renderorder");
    if (!text) {
        return TmxRenderOrder::rightDown;
    }
    const std::pair<const char*, TmxRenderOrder> orders[] = {{"right-down", TmxRenderOrder::rightDown},
                                                             {"right-up", TmxRenderOrder::rightUp},
                                                             {"left-down", TmxRenderOrder::leftDown},
                                                             {"left-up", TmxRenderOrder::leftUp}};
    for (const auto& order : orders) {
        if (std::strcmp(text, order.first) == 0) {
            return order.second;
        }
    }
    malformed(std::string("the map's render order \"") + text + "\" is none of right-down, right-up, " +
              "left-down and left-up");
}

// The first layer of any kind; an object group standing before the first
// tile layer is the start too.
const XmlNode* firstLayerElement(const XmlNode* map) {
    for (auto* node = map->first_node(); node; node = node->next_sibling()) {
        if (isLayerElement(node)) {
            return node;
        }
    }
    malformed("the map has no tile layer");
}

} // namespace

std::unique_ptr<TmxMap> parseTmx(char* text) {
    rapidxml::xml_document<char> document;
    try {
        parseXml(document, text);
    } catch (const rapidxml::parse_error& error) {
        malformed(std::string("XML syntax error: ") + error.what());
    }

    auto* mapNode = document.first_node("map");
    if (!mapNode) {
        malformed("there is no <map> element");
    }
    if (const char* orientation = optionalAttribute(mapNode, "orientation")) {
        if (std::strcmp(orientation, "orthogonal") != 0) {
            malformed(std::string("the map's orientation is ") + orientation +
                      "; only orthogonal maps can be read");
        }
    }
    auto map = std::make_unique<TmxMap>();
    map->width = requiredInt(mapNode, "width");
    map->height = requiredInt(mapNode, "height");
    map->tileWidth = requiredInt(mapNode, "tilewidth");
    map->tileHeight = requiredInt(mapNode, "tileheight");
    map->renderOrder = readRenderOrder(mapNode);
    map->parallaxOriginX = std::clamp(optionalFloat(mapNode, "parallaxoriginx", 0.f), -farthestParallaxOrigin,
                                      farthestParallaxOrigin);
    map->parallaxOriginY = std::clamp(optionalFloat(mapNode, "parallaxoriginy", 0.f), -farthestParallaxOrigin,
                                      farthestParallaxOrigin);

    for (auto* node = mapNode->first_node("tileset"); node; node = node->next_sibling("tileset")) {
        map->tilesets.push_back(readTmxTileset(node));
    }

    const bool infinite = optionalInt(mapNode, "infinite", 0) != 0;
    LayerWalk walk(*map, infinite);
    walk.walk(firstLayerElement(mapNode), Inherited());
    if (std::none_of(map->layers.begin(), map->layers.end(),
                     [](const auto& layer) { return layer->imageSource.empty(); })) {
        malformed("the map has no tile layer");
    }
    if (infinite) {
        walk.readInfiniteData();
    }
    return map;
}
