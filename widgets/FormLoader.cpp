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

namespace widgets {

void loadFormText(Group& group, const std::string& text, const std::string& file,
                  const std::string& directory) {
    const std::vector<FormNode> nodes = parseForm(text, file);
    const FormBuilder::NamedWidgets widgets = FormBuilder(file, directory).build(nodes);
    // Only a form that was read whole reaches the group.
    for (const auto& [name, widget] : widgets) {
        group.add(widget, name);
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
