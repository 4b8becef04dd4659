#include "widgets/FormBuilder.hpp"

#include "widgets/FormError.hpp"
#include "widgets/FormProperties.hpp"
#include "widgets/FormValueReader.hpp"
#include "widgets/Group.hpp"
#include "widgets/Label.hpp"
#include "widgets/RadioButton.hpp"
#include "widgets/ResourceCache.hpp"

namespace widgets {

namespace {
// Sets the field named `key`, if one is, to what `read` gives.
template <class Field, class Read>
bool assignNamed(const std::vector<std::pair<const char*, Field*>>& fields, const std::string& key,
                 const Read& read) {
    for (const auto& [name, field] : fields) {
        if (key == name) {
            *field = read();
            return true;
        }
    }
    return false;
}
} // namespace

void FormBuilder::warn(int line, const std::string& problem) {
    warnings.push_back(file + ":" + std::to_string(line) + ": " + problem);
}

void FormBuilder::warnOnce(const std::string& kind, const std::string& name, int line,
                           const std::string& problem) {
    if (warned.insert({kind, name}).second) {
        warn(line, problem);
    }
}

FormBuilder::NamedWidgets FormBuilder::build(const std::vector<FormNode>& nodes) {
    sharedRenderers.clear();
    warnings.clear();
    warned.clear();
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
        if (node.type == "Renderer") {
            continue;
        }
        if (auto made = widget(node)) {
            built.emplace_back(node.name, made);
        }
    }
    return built;
}

std::shared_ptr<Widget> FormBuilder::widget(const FormNode& node) {
    std::shared_ptr<Widget> widget = formProperties::createWidget(node.type);
    if (!widget) {
        // What it holds goes with it: its children were laid out for it.
        warn(node.line, "skipped '" + node.title() + "' and what it holds: widget type '" + node.type +
                            "' is not supported");
        return nullptr;
    }
    formProperties::Deferred deferred;
    for (const FormProperty& property : node.properties) {
        if (property.key == "Renderer") {
            continue; // applied with the renderer blocks below
        }
        FormValueReader reader(property, file);
        std::string skipped;
        const bool known = formProperties::applyProperty(*widget, property, reader, deferred, skipped);
        if (!skipped.empty()) {
            warnOnce("value", property.key, property.line,
                     "skipped '" + property.key + "' of " + node.type + ": " + skipped);
        }
        if (!known) {
            warnOnce("property", property.key, property.line,
                     "skipped property '" + property.key + "' of " + node.type +
                         " (not supported; later ones of that name are skipped silently)");
        }
    }
    deferred.applyAll();
    applyRenderers(*widget, node);

    auto group = std::dynamic_pointer_cast<Group>(widget);
    for (const FormNode& child : node.children) {
        if (child.type == "Renderer") {
            continue;
        }
        if (child.type == "ToolTip" && child.name.empty()) {
            applyToolTip(*widget, child);
            continue;
        }
        if (!group) {
            throw FormError(file, child.line,
                            "expected a property or a Renderer block inside " + node.type +
                                " (only a Group, Panel or ChildWindow holds widgets), found '" +
                                child.title() + "'");
        }
        if (auto made = this->widget(child)) {
            group->add(made, child.name);
        }
    }
    if (group) {
        RadioButton::settleGroup(*group);
    }
    return widget;
}

void FormBuilder::applyToolTip(Widget& widget, const FormNode& node) {
    for (const FormProperty& property : node.properties) {
        FormValueReader reader(property, file);
        if (property.key == "TimeToDisplay") {
            const float seconds = reader.number();
            if (!(seconds >= 0.0f && seconds <= 60.0f)) {
                throw FormError(file, property.line,
                                "expected a number of seconds from 0 to 60 for 'TimeToDisplay'");
            }
            widget.toolTipDelay = seconds;
        } else if (property.key == "DistanceToMouse") {
            const Layout2d distance = reader.layout();
            widget.toolTipOffset = distance.resolve({});
        } else {
            warnOnce("property", property.key, property.line,
                     "skipped property '" + property.key +
                         "' of ToolTip (not supported; later ones of that name are skipped silently)");
        }
    }
    for (const FormNode& child : node.children) {
        if (child.type == "Renderer") {
            continue;
        }
        if (widget.toolTip) {
            warn(child.line, "skipped '" + child.title() + "': a tool tip shows one widget");
            continue;
        }
        widget.toolTip = this->widget(child);
    }
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
        for (const FormNode& nested : child.children) {
            warnOnce("renderer block", nested.type, nested.line,
                     "skipped renderer block '" + nested.title() + "' of " + node.type + " (not supported)");
        }
        for (const FormProperty& property : child.properties) {
            applyRendererProperty(widget, node.type, property);
        }
    }
}

WidgetTexture FormBuilder::texture(FormValueReader& reader) {
    const FormValueReader::TextureValue value = reader.texture();
    if (value.path.empty()) {
        return {};
    }
    const bool absolute = value.path[0] == '/';
    const std::string path = absolute || directory.empty() ? value.path : directory + "/" + value.path;
    WidgetTexture texture(ResourceCache::texture(path, value.smooth));
    texture.part = value.part;
    texture.middle = value.middle;
    return texture;
}

void FormBuilder::applyRendererProperty(Widget& widget, const std::string& type,
                                        const FormProperty& property) {
    FormValueReader reader(property, file);
    const std::string& key = property.key;
    const formProperties::RendererFields fields = formProperties::rendererFields(widget);
    const auto number = [&] {
        const float value = reader.number();
        if (!(value >= 0.0f && value <= 10000.0f)) {
            throw FormError(file, property.line, "expected a number from 0 to 10000 for '" + key + "'");
        }
        return value;
    };
    const bool applied = assignNamed(fields.colours, key, [&] { return reader.colour(); }) ||
                         assignNamed(fields.borders, key, [&] { return reader.borders(); }) ||
                         assignNamed(fields.numbers, key, number) ||
                         assignNamed(fields.textStyles, key, [&] { return reader.textStyle(); }) ||
                         assignNamed(fields.textures, key, [&] { return texture(reader); });
    if (applied) {
        return;
    }
    warnOnce("renderer property", key, property.line,
             "skipped renderer property '" + key + "' of " + type +
                 " (not drawn; later ones of that name are skipped silently)");
}

} // namespace widgets
