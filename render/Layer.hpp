#pragma once

#include <cstdint>
#include <string>

// A named draw layer. The RenderManager owns the table of layers; renderables
// observe their layer weakly, so a dropped layer makes them layerless.
struct Layer {
    // Position in the RenderManager's layer table: lower is drawn first (further back).
    int32_t index = 0;
    std::string name;
    // Renderables on a hidden layer stay registered but are not drawn.
    bool visible = true;
};
