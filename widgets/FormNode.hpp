#pragma once

#include <string>
#include <vector>

#include "widgets/FormToken.hpp"

namespace widgets {

// One `Key = value;` of a form; the value's tokens are read by the builder,
// which knows the key's type.
struct FormProperty {
    std::string key;
    std::vector<FormToken> value;
    int line = 0;
};

// One `Type.Name { ... }` block of a form: a widget, a `Renderer { }` inside a
// widget, or a shared `Renderer.N { }` at the top level.
struct FormNode {
    std::string type;
    std::string name;
    int line = 0;
    std::vector<FormProperty> properties;
    std::vector<FormNode> children;

    // "Button.StartGame", or "Button" for an unnamed block.
    std::string title() const { return name.empty() ? type : type + "." + name; }
};

} // namespace widgets
