#include "core/settings/SettingsFolder.hpp"

std::filesystem::path settingsFolder(const std::string& chosen, const char* configHome, const char* home) {
    if (!chosen.empty()) {
        return chosen;
    }
    // The base-directory rules: a relative XDG_CONFIG_HOME is invalid and ignored.
    if (configHome && configHome[0] == '/') {
        return std::filesystem::path(configHome) / "vorlune";
    }
    if (home && home[0] != '\0') {
        return std::filesystem::path(home) / ".config" / "vorlune";
    }
    return {};
}
