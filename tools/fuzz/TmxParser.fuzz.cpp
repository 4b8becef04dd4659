// libFuzzer harness for the TMX parser: any input must either parse or be
// rejected with std::runtime_error, without a crash or a sanitizer report.
// It also checks that the nesting pre-scan agrees with the depth rapidxml
// really reaches on every text rapidxml accepts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <rapidxml/rapidxml.hpp>

#include "core/XmlNesting.hpp"
#include "tmx/TmxParser.hpp"

namespace {

int treeDepth(const rapidxml::xml_node<char>* node) {
    int deepest = 0;
    for (auto* child = node->first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element) {
            int depth = 1 + treeDepth(child);
            deepest = depth > deepest ? depth : deepest;
        }
    }
    return deepest;
}

std::vector<char> terminated(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto text = terminated(data, size);
    int scanned = xmlNestingDepth(text.data());
    if (scanned <= 64) {
        auto copy = text;
        rapidxml::xml_document<char> document;
        bool parsed = true;
        try {
            document.parse<0>(copy.data());
        } catch (const rapidxml::parse_error&) {
            parsed = false;
        }
        if (parsed && treeDepth(&document) != scanned) {
            std::fprintf(stderr, "nesting scan says %d, rapidxml built %d levels\n", scanned,
                         treeDepth(&document));
            std::abort();
        }
    }
    try {
        auto map = parseTmx(text.data());
        for (const auto& layer : map->layers) {
            if (layer->data.size() !=
                static_cast<size_t>(layer->width) * static_cast<size_t>(layer->height)) {
                std::abort();
            }
        }
    } catch (const std::runtime_error&) {
    }
    return 0;
}
