#pragma once

#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <rapidxml/rapidxml.hpp>

// Small readers shared by the map and tileset parsers. Every failure throws
// std::runtime_error naming the element and what it lacks.
namespace tmx {

using XmlNode = rapidxml::xml_node<char>;

[[noreturn]] inline void malformed(const std::string& reason) {
    throw std::runtime_error(reason);
}

// "<layer> "Ground"": the element and, when it has one, its name.
inline std::string describe(const XmlNode* node) {
    std::string text = "<" + std::string(node->name(), node->name_size()) + ">";
    if (auto* name = node->first_attribute("name")) {
        text += " \"" + std::string(name->value(), name->value_size()) + "\"";
    }
    return text;
}

// Like strtol in base 10, clamped to the range of int.
inline int readInt(const char* text) {
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

inline const char* optionalAttribute(const XmlNode* node, const char* name) {
    auto* attribute = node->first_attribute(name);
    return attribute ? attribute->value() : nullptr;
}

inline const char* requiredAttribute(const XmlNode* node, const char* name) {
    auto* attribute = node->first_attribute(name);
    if (!attribute) {
        malformed(describe(node) + " lacks the attribute " + name);
    }
    return attribute->value();
}

inline int requiredInt(const XmlNode* node, const char* name) {
    return readInt(requiredAttribute(node, name));
}

inline int optionalInt(const XmlNode* node, const char* name, int absent) {
    const char* value = optionalAttribute(node, name);
    return value ? readInt(value) : absent;
}

inline const XmlNode* requiredChild(const XmlNode* node, const char* name) {
    auto* child = node->first_node(name);
    if (!child) {
        malformed(describe(node) + " lacks a <" + name + "> element");
    }
    return child;
}

inline bool named(const XmlNode* node, const char* name) {
    return node->type() == rapidxml::node_element && std::strcmp(node->name(), name) == 0;
}

} // namespace tmx
