#include "scene/TmxParser.hpp"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <rapidxml/rapidxml.hpp>

#include "scene/XmlNesting.hpp"

namespace {

using XmlNode = rapidxml::xml_node<char>;

[[noreturn]] void malformed(const std::string& reason) {
    throw std::runtime_error(reason);
}

std::string describe(const XmlNode* node) {
    std::string text = "<" + std::string(node->name(), node->name_size()) + ">";
    if (auto* name = node->first_attribute("name")) {
        text += " \"" + std::string(name->value(), name->value_size()) + "\"";
    }
    return text;
}

// Like strtol in base 10, clamped to the range of int.
int readInt(const char* text) {
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

const char* optionalAttribute(const XmlNode* node, const char* name) {
    auto* attribute = node->first_attribute(name);
    return attribute ? attribute->value() : nullptr;
}

const char* requiredAttribute(const XmlNode* node, const char* name) {
    auto* attribute = node->first_attribute(name);
    if (!attribute) {
        malformed(describe(node) + " lacks the attribute " + name);
    }
    return attribute->value();
}

int requiredInt(const XmlNode* node, const char* name) {
    return readInt(requiredAttribute(node, name));
}

int optionalInt(const XmlNode* node, const char* name, int absent) {
    const char* value = optionalAttribute(node, name);
    return value ? readInt(value) : absent;
}

const XmlNode* requiredChild(const XmlNode* node, const char* name) {
    auto* child = node->first_node(name);
    if (!child) {
        malformed(describe(node) + " lacks a <" + name + "> element");
    }
    return child;
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

std::unique_ptr<TmxTileset> readTileset(const XmlNode* node) {
    auto tileset = std::make_unique<TmxTileset>();
    tileset->firstGid = requiredInt(node, "firstgid");
    tileset->name = requiredAttribute(node, "name");
    tileset->tileWidth = requiredInt(node, "tilewidth");
    tileset->tileHeight = requiredInt(node, "tileheight");
    tileset->imageSource = requiredAttribute(requiredChild(node, "image"), "source");
    return tileset;
}

const XmlNode* firstElement(const XmlNode* node) {
    for (auto* child = node->first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element) {
            return child;
        }
    }
    return nullptr;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
}

// The CSV cells, row by row; cells the text leaves out stay 0.
void readCells(const char* text, TmxLayer& layer, size_t cells) {
    layer.data.assign(cells, 0);
    size_t count = 0;
    const char* p = text;
    while (true) {
        while (isSeparator(*p)) {
            ++p;
        }
        if (*p == '\0') {
            return;
        }
        if (count == cells) {
            malformed("tile layer \"" + layer.name + "\" holds more numbers than its " +
                      std::to_string(layer.width) + " x " + std::to_string(layer.height) + " cells");
        }
        // strtol stops at the first separator, so it reads this token alone.
        layer.data[count++] = readInt(p);
        while (*p != '\0' && !isSeparator(*p)) {
            ++p;
        }
    }
}

std::unique_ptr<TmxLayer> readLayer(const XmlNode* node, int index) {
    auto layer = std::make_unique<TmxLayer>();
    layer->name = requiredAttribute(node, "name");
    layer->width = requiredInt(node, "width");
    layer->height = requiredInt(node, "height");
    layer->index = index;
    long long cells = static_cast<long long>(layer->width) * layer->height;
    if (layer->width < 0 || layer->height < 0 || cells > maxTmxLayerCells) {
        malformed("tile layer \"" + layer->name + "\" has an unusable size of " +
                  std::to_string(layer->width) + " x " + std::to_string(layer->height) + " cells");
    }
    const XmlNode* data = requiredChild(node, "data");
    // Other layer formats would read as a garbage or empty layer: say so instead.
    const char* encoding = optionalAttribute(data, "encoding");
    if ((encoding && std::strcmp(encoding, "csv") != 0) || optionalAttribute(data, "compression")) {
        malformed("tile layer \"" + layer->name + "\" is not stored as CSV (encoding \"" +
                  (encoding ? encoding : "") + "\")");
    }
    if (const XmlNode* element = firstElement(data)) {
        malformed("tile layer \"" + layer->name + "\" holds <" + element->name() +
                  "> elements (XML tiles or an infinite map's chunks) instead of CSV");
    }
    readCells(data->value(), *layer, static_cast<size_t>(cells));
    return layer;
}

std::unique_ptr<TmxObject> readObject(const XmlNode* node) {
    auto object = std::make_unique<TmxObject>();
    if (const char* name = optionalAttribute(node, "name")) {
        object->name = name;
    }
    object->gid = optionalInt(node, "gid", 0);
    object->x = requiredInt(node, "x");
    object->y = requiredInt(node, "y");
    object->width = optionalInt(node, "width", 0);
    object->height = optionalInt(node, "height", 0);
    object->visible = optionalInt(node, "visible", 1) != 0;
    readProperties(node, object->properties);
    return object;
}

std::unique_ptr<TmxObjectGroup> readObjectGroup(const XmlNode* node, int index) {
    auto group = std::make_unique<TmxObjectGroup>();
    group->name = requiredAttribute(node, "name");
    group->width = optionalInt(node, "width", 0);
    group->height = optionalInt(node, "height", 0);
    group->visible = optionalInt(node, "visible", 1) != 0;
    group->index = index;
    readProperties(node, group->properties);
    for (auto* child = node->first_node("object"); child; child = child->next_sibling("object")) {
        group->objects.push_back(readObject(child));
    }
    return group;
}

bool named(const XmlNode* node, const char* name) {
    return node->type() == rapidxml::node_element && std::strcmp(node->name(), name) == 0;
}

// The first tile layer, or the first object group when one stands before it.
const XmlNode* firstLayerOrGroup(const XmlNode* map) {
    auto* layer = map->first_node("layer");
    if (!layer) {
        malformed("the map has no tile layer");
    }
    for (auto* node = map->first_node(); node != layer; node = node->next_sibling()) {
        if (named(node, "objectgroup")) {
            return node;
        }
    }
    return layer;
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
    auto map = std::make_unique<TmxMap>();
    map->width = requiredInt(mapNode, "width");
    map->height = requiredInt(mapNode, "height");
    map->tileWidth = requiredInt(mapNode, "tilewidth");
    map->tileHeight = requiredInt(mapNode, "tileheight");

    for (auto* node = mapNode->first_node("tileset"); node; node = node->next_sibling("tileset")) {
        map->tilesets.push_back(readTileset(node));
    }

    int index = 0;
    for (auto* node = firstLayerOrGroup(mapNode); node; node = node->next_sibling()) {
        if (node->type() != rapidxml::node_element) {
            continue;
        }
        if (named(node, "layer")) {
            map->layers.push_back(readLayer(node, index));
        } else if (named(node, "objectgroup")) {
            map->objectGroups.push_back(readObjectGroup(node, index));
        }
        ++index;
    }
    return map;
}
