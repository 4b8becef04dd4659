#include "common/PrivateSettingsFolder.hpp"

#include <cstdlib>
#include <string>
#include <system_error>

namespace {
std::filesystem::path folder;
} // namespace

PrivateSettingsFolder::PrivateSettingsFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "vorlune-test-config-XXXXXX").string();
    if (!::mkdtemp(name.data())) {
        std::abort();
    }
    folder = name;
    ::setenv("XDG_CONFIG_HOME", name.c_str(), 1);
}

PrivateSettingsFolder::~PrivateSettingsFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

const std::filesystem::path& PrivateSettingsFolder::root() {
    return folder;
}

void PrivateSettingsFolder::empty() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}
