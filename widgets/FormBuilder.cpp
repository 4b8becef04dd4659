#include "widgets/FormBuilder.hpp"

#include <optional>

#include "widgets/Button.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormValueReader.hpp"
#include "widgets/Group.hpp"
#include "widgets/Label.hpp"
#include "widgets/Picture.hpp"
#include "widgets/ResourceCache.hpp"
#include "widgets/Slider.hpp"

namespace widgets {

namespace {
const char* const widgetTypes = "Group, Button, Slider, Picture or Label";

std::shared_ptr<Widget> createWidget(const std::string& type) {
    if (type == "Group") {
        return Group::create();
    }
    if (type == "Button") {
        return Button::create();
    }
    if (type == "Slider") {
        return Slider::create();
    }
    if (type == "Picture") {
        return Picture::create();
    }
    if (type == "Label") {
        return Label::create();
    }
    return nullptr;
}

// Properties every widget has; false when the key is not one of them.
bool applyCommonProperty(Widget& widget, const FormProperty& property, FormValueReader& reader) {
    if (property.key == "Position") {
        widget.setPosition(reader.layout());
    } else if (property.key == "Size") {
        widget.setSize(reader.layout());
    } else if (property.key == "Visible") {
        widget.setVisible(reader.boolean());
    } else if (property.key == "Enabled") {
        widget.setEnabled(reader.boolean());
    } else {
        return false;
    }
    return true;
}

bool applyButtonProperty(Button& button, const FormProperty& property, FormValueReader& reader) {
    if (property.key == "Text") {
        button.setText(reader.string());
    } else if (property.key == "TextSize") {
        button.setTextSize(reader.size());
    } else {
        return false;
    }
    return true;
}

bool applyLabelProperty(Label& label, const FormProperty& property, FormValueReader& reader) {
    if (property.key == "Text") {
        label.setText(reader.string());
    } else if (property.key == "TextSize") {
        label.setTextSize(reader.size());
    } else if (property.key == "HorizontalAlignment") {
        label.setHorizontalAlignment(
            static_cast<Label::Alignment>(reader.choice({"Left", "Center", "Right"})));
    } else {
        return false;
    }
    return true;
}

// Collected first and applied range first, so that the value is not clamped
// by a range given later in the block.
struct SliderSettings {
    std::optional<float> minimum, maximum, value, step;

    bool read(const FormProperty& property, FormValueReader& reader) {
        if (property.key == "Minimum") {
            minimum = reader.number();
        } else if (property.key == "Maximum") {
            maximum = reader.number();
        } else if (property.key == "Value") {
            value = reader.number();
        } else if (property.key == "Step") {
            step = reader.number();
        } else {
            return false;
        }
        return true;
    }

    void apply(Slider& slider) const {
        if (minimum) {
            slider.setMinimum(*minimum);
        }
        if (maximum) {
            slider.setMaximum(*maximum);
        }
        if (step) {
            slider.setStep(*step);
        }
        if (value) {
            slider.setValue(*value);
        }
    }
};
} // namespace

void FormBuilder::unknownProperty(const std::string& type, const FormProperty& property,
                                  const char* where) const {
    throw FormError(file, property.line,
                    "unknown " + std::string(where) + " '" + property.key + "' of " + type);
}

FormBuilder::NamedWidgets FormBuilder::build(const std::vector<FormNode>& nodes) {
    sharedRenderers.clear();
    for (const FormNode& node : nodes) {
        if (node.type == "Renderer") {
            if (node.name.empty()) {
                throw FormError(file, node.line,
                                "expected a name for a shared renderer, as in 'Renderer.1 { }'");
            }
            sharedRenderers.emplace(node.name, &node);
        }
    }
    NamedWidgets built;
    for (const FormNode& node : nodes) {
        if (node.type != "Renderer") {
            built.emplace_back(node.name, widget(node));
        }
    }
    return built;
}

std::shared_ptr<Widget> FormBuilder::widget(const FormNode& node) {
    std::shared_ptr<Widget> widget = createWidget(node.type);
    if (!widget) {
        throw FormError(file, node.line, "unknown widget type '" + node.type + "'; expected " + widgetTypes);
    }
    SliderSettings slider;
    for (const FormProperty& property : node.properties) {
        FormValueReader reader(property, file);
        if (property.key == "Renderer") {
            continue; // applied with the renderer blocks below
        }
        bool known = applyCommonProperty(*widget, property, reader);
        if (!known) {
            if (auto button = std::dynamic_pointer_cast<Button>(widget)) {
                known = applyButtonProperty(*button, property, reader);
            } else if (auto label = std::dynamic_pointer_cast<Label>(widget)) {
                known = applyLabelProperty(*label, property, reader);
            } else if (std::dynamic_pointer_cast<Slider>(widget)) {
                known = slider.read(property, reader);
            }
        }
        if (!known) {
            unknownProperty(node.type, property, "property");
        }
    }
    if (auto sliderWidget = std::dynamic_pointer_cast<Slider>(widget)) {
        slider.apply(*sliderWidget);
    }
    applyRenderers(*widget, node);

    auto group = std::dynamic_pointer_cast<Group>(widget);
    for (const FormNode& child : node.children) {
        if (child.type == "Renderer") {
            continue;
        }
        if (!group) {
            throw FormError(file, child.line,
                            "expected a property or a Renderer block inside " + node.type +
                                " (only a Group holds widgets), found '" + child.title() + "'");
        }
        group->add(this->widget(child), child.name);
    }
    return widget;
}

void FormBuilder::applyRenderers(Widget& widget, const FormNode& node) {
    // The shared renderer first, so that an inline block can refine it.
    for (const FormProperty& property : node.properties) {
        if (property.key != "Renderer") {
            continue;
        }
        FormValueReader reader(property, file);
        const std::string name = reader.reference();
        const auto shared = sharedRenderers.find(name);
        if (shared == sharedRenderers.end()) {
            throw FormError(file, property.line,
                            "expected a shared renderer 'Renderer." + name + " { }' in this file for '&" +
                                name + "'");
        }
        for (const FormProperty& rendererProperty : shared->second->properties) {
            applyRendererProperty(widget, node.type, rendererProperty);
        }
    }
    for (const FormNode& child : node.children) {
        if (child.type != "Renderer") {
            continue;
        }
        if (!child.children.empty()) {
            throw FormError(file, child.children.front().line,
                            "expected only properties inside a Renderer block");
        }
        for (const FormProperty& property : child.properties) {
            applyRendererProperty(widget, node.type, property);
        }
    }
}

std::shared_ptr<const sf::Texture> FormBuilder::texture(FormValueReader& reader) {
    const FormValueReader::TextureValue value = reader.texture();
    const bool absolute = !value.path.empty() && value.path[0] == '/';
    const std::string path = absolute || directory.empty() ? value.path : directory + "/" + value.path;
    return ResourceCache::texture(path, value.smooth);
}

void FormBuilder::applyRendererProperty(Widget& widget, const std::string& type,
                                        const FormProperty& property) {
    FormValueReader reader(property, file);
    const std::string& key = property.key;
    if (auto button = dynamic_cast<Button*>(&widget)) {
        Button::Renderer& r = button->renderer;
        const std::map<std::string, std::optional<sf::Color>*> colours = {
            {"TextColor", &r.textColor},
            {"TextColorHover", &r.textColorHover},
            {"TextColorDown", &r.textColorDown},
            {"TextColorDisabled", &r.textColorDisabled},
            {"BackgroundColor", &r.backgroundColor},
            {"BackgroundColorHover", &r.backgroundColorHover},
            {"BackgroundColorDown", &r.backgroundColorDown},
            {"BackgroundColorDisabled", &r.backgroundColorDisabled},
            {"BorderColor", &r.borderColor},
            {"BorderColorHover", &r.borderColorHover},
            {"BorderColorDown", &r.borderColorDown},
        };
        const std::map<std::string, std::shared_ptr<const sf::Texture>*> textures = {
            {"Texture", &r.texture},
            {"TextureHover", &r.textureHover},
            {"TextureDown", &r.textureDown},
            {"TextureDisabled", &r.textureDisabled},
        };
        if (colours.count(key)) {
            *colours.at(key) = reader.colour();
        } else if (textures.count(key)) {
            *textures.at(key) = texture(reader);
        } else if (key == "Borders") {
            r.borders = reader.borders();
        } else {
            unknownProperty(type, property, "renderer property");
        }
    } else if (auto slider = dynamic_cast<Slider*>(&widget)) {
        Slider::Renderer& r = slider->renderer;
        const std::map<std::string, std::optional<sf::Color>*> colours = {
            {"TrackColor", &r.trackColor},   {"TrackColorHover", &r.trackColorHover},
            {"ThumbColor", &r.thumbColor},   {"ThumbColorHover", &r.thumbColorHover},
            {"BorderColor", &r.borderColor},
        };
        if (colours.count(key)) {
            *colours.at(key) = reader.colour();
        } else if (key == "Borders") {
            r.borders = reader.borders();
        } else {
            unknownProperty(type, property, "renderer property");
        }
    } else if (auto label = dynamic_cast<Label*>(&widget)) {
        if (key == "TextColor") {
            label->renderer.textColor = reader.colour();
        } else if (key == "BackgroundColor") {
            label->renderer.backgroundColor = reader.colour();
        } else {
            unknownProperty(type, property, "renderer property");
        }
    } else if (auto picture = dynamic_cast<Picture*>(&widget)) {
        if (key == "Texture") {
            picture->renderer.texture = texture(reader);
        } else {
            unknownProperty(type, property, "renderer property");
        }
    } else {
        unknownProperty(type, property, "renderer property");
    }
}

} // namespace widgets
