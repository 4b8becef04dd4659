#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "widgets/Borders.hpp"
#include "widgets/FormNode.hpp"
#include "widgets/Widget.hpp"
#include "widgets/WidgetTexture.hpp"

namespace widgets {

class FormValueReader;

// What each widget type reads from a form: which types exist, their own
// properties and their renderer's. The form builder walks the blocks; this
// says what every key means.
namespace formProperties {

// A new widget of the form's type name, or null when the type is not one we draw.
std::shared_ptr<Widget> createWidget(const std::string& type);

// Properties whose order in the block must not matter (a value read before
// its range): collected while the block is read, applied at its end by stage
// (lower first), in file order within a stage.
class Deferred {
public:
    void add(int stage, std::function<void()> step) { steps.emplace_back(stage, std::move(step)); }
    void applyAll() {
        std::stable_sort(steps.begin(), steps.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& step : steps) {
            step.second();
        }
    }

private:
    std::vector<std::pair<int, std::function<void()>>> steps;
};

// Applies the property if the widget's type has it (reading its value, which
// throws FormError when malformed); false when it has no such property. A
// well-formed value that the widget cannot use leaves the widget as it was
// and says why in `skipped`.
bool applyProperty(Widget& widget, const FormProperty& property, FormValueReader& reader, Deferred& deferred,
                   std::string& skipped);

// The renderer fields of a widget by property name; a name in none of them
// is a renderer property the widget does not draw.
struct RendererFields {
    std::vector<std::pair<const char*, std::optional<sf::Color>*>> colours;
    std::vector<std::pair<const char*, std::optional<Borders>*>> borders;
    std::vector<std::pair<const char*, std::optional<float>*>> numbers;
    // sf::Text::Style bits, written as words joined by '|'.
    std::vector<std::pair<const char*, std::optional<sf::Uint32>*>> textStyles;
    std::vector<std::pair<const char*, WidgetTexture*>> textures;
};
RendererFields rendererFields(Widget& widget);

} // namespace formProperties
} // namespace widgets
