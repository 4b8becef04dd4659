#include "widgets/FormLoader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "widgets/FormBuilder.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormParser.hpp"
#include "widgets/Group.hpp"
#include "widgets/LayoutExpression.hpp"
#include "widgets/ProblemReport.hpp"
#include "widgets/RadioButton.hpp"

namespace widgets {

namespace {
// Evaluates every position and size in the tree, so that reference cycles,
// runaway expressions and names that are not there show now, not while drawing.
void evaluateLayouts(const Widget& widget) {
    widget.getPositionInParent();
    widget.getSize();
    if (const auto* group = dynamic_cast<const Group*>(&widget)) {
        for (const auto& child : group->getWidgets()) {
            evaluateLayouts(*child);
        }
    }
    if (widget.toolTip) {
        evaluateLayouts(*widget.toolTip);
    }
}

void checkLayouts(const Group& staging, const std::string& file) {
    clearLayoutProblem();
    for (const auto& widget : staging.getWidgets()) {
        evaluateLayouts(*widget);
        if (!layoutProblem().empty()) {
            const std::string problem = layoutProblem();
            clearLayoutProblem();
            throw FormError(file, 0,
                            "expected layouts that can be worked out; '" + widget->getName() + "' has " +
                                problem);
        }
    }
}
} // namespace

void loadFormText(Group& group, const std::string& text, const std::string& file,
                  const std::string& directory) {
    const std::vector<FormNode> nodes = parseForm(text, file);
    FormBuilder builder(file, directory);
    const FormBuilder::NamedWidgets widgets = builder.build(nodes);
    // Laid out in a stand-in of the same size before the group sees them.
    const auto staging = Group::create();
    staging->setSize(Layout2d(group.getSize().x, group.getSize().y));
    for (const auto& [name, widget] : widgets) {
        staging->add(widget, name);
    }
    checkLayouts(*staging, file);
    staging->releaseAll();
    // Only a form that was read whole reaches the group.
    for (const auto& [name, widget] : widgets) {
        group.add(widget, name);
    }
    RadioButton::settleGroup(group);
    for (const std::string& warning : builder.getWarnings()) {
        reportProblem(warning);
    }
}

void loadFormFile(Group& group, const std::string& path) {
    std::string file = path;
    std::replace(file.begin(), file.end(), '\\', '/');
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored)) {
        throw FormError(file, 0, "expected a readable form file: it is a directory");
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        throw FormError(file, 0, std::string("expected a readable form file: ") + std::strerror(errno));
    }
    std::ostringstream text;
    text << stream.rdbuf();
    if (stream.bad()) {
        throw FormError(file, 0, "expected a readable form file: reading failed");
    }
    const size_t slash = file.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "" : file.substr(0, slash);
    loadFormText(group, text.str(), file, directory);
}

} // namespace widgets
