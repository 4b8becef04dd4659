#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "widgets/FormNode.hpp"
#include "widgets/Widget.hpp"

namespace widgets {

class FormValueReader;

// Turns the parsed blocks of one form into widgets, checking every type,
// property and value. The widgets are returned, not added anywhere, so a form
// that fails half-way leaves nothing behind. Throws FormError on the first
// problem. Textures are loaded here (through the ResourceCache), relative to
// the form's directory.
class FormBuilder {
public:
    using NamedWidgets = std::vector<std::pair<std::string, std::shared_ptr<Widget>>>;

    // `file` names the form in messages; `directory` is where its textures are.
    FormBuilder(std::string file, std::string directory)
        : file(std::move(file)), directory(std::move(directory)) {}

    NamedWidgets build(const std::vector<FormNode>& nodes);

private:
    std::shared_ptr<Widget> widget(const FormNode& node);
    void applyRenderers(Widget& widget, const FormNode& node);
    void applyRendererProperty(Widget& widget, const std::string& type, const FormProperty& property);
    std::shared_ptr<const sf::Texture> texture(FormValueReader& reader);
    [[noreturn]] void unknownProperty(const std::string& type, const FormProperty& property,
                                      const char* where) const;

    std::string file;
    std::string directory;
    std::map<std::string, const FormNode*> sharedRenderers;
};

} // namespace widgets
