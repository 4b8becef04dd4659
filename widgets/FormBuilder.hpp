#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "widgets/FormNode.hpp"
#include "widgets/Widget.hpp"
#include "widgets/WidgetTexture.hpp"

namespace widgets {

class FormValueReader;

// Turns the parsed blocks of one form into widgets, checking every type,
// property and value. The widgets are returned, not added anywhere, so a form
// that fails half-way leaves nothing behind. Throws FormError on the first
// malformed value or block. What the form holds that we do not draw (a widget
// type, a property, a renderer property, a nested renderer block) is skipped
// and noted in `getWarnings`: one line per skipped widget, one per property
// name. Textures are loaded here (through the ResourceCache), relative to
// the form's directory.
class FormBuilder {
public:
    using NamedWidgets = std::vector<std::pair<std::string, std::shared_ptr<Widget>>>;

    // `file` names the form in messages; `directory` is where its textures are.
    FormBuilder(std::string file, std::string directory)
        : file(std::move(file)), directory(std::move(directory)) {}

    NamedWidgets build(const std::vector<FormNode>& nodes);
    // The skipped parts of the last build, one line each, naming file and line.
    const std::vector<std::string>& getWarnings() const { return warnings; }

private:
    // Null when the block's type is skipped.
    std::shared_ptr<Widget> widget(const FormNode& node);
    void applyRenderers(Widget& widget, const FormNode& node);
    void applyRendererProperty(Widget& widget, const std::string& type, const FormProperty& property);
    void applyToolTip(Widget& widget, const FormNode& node);
    WidgetTexture texture(FormValueReader& reader);
    void warn(int line, const std::string& problem);
    // One warning per kind of thing skipped and name, for the whole file.
    void warnOnce(const std::string& kind, const std::string& name, int line, const std::string& problem);

    std::string file;
    std::string directory;
    std::map<std::string, const FormNode*> sharedRenderers;
    std::vector<std::string> warnings;
    std::set<std::pair<std::string, std::string>> warned;
};

} // namespace widgets
