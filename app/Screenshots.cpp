#include "app/Screenshots.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file: a line
// XDG_PICTURES_DIR="$HOME/Pictures", with $HOME the only expansion allowed.
std::string picturesFromUserDirs(const std::string& file, const std::string& home) {
    std::ifstream dirs(file);
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(dirs, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0) {
            value = home + value.substr(5);
        }
        return value.empty() || value[0] != '/' ? std::string() : value;
    }
    return {};
}
} // namespace

std::string picturesFolder() {
    // Set for this session (by the desktop or the player) it wins over the file.
    const std::string fromEnvironment = environment("XDG_PICTURES_DIR");
    if (!fromEnvironment.empty() && fromEnvironment.front() == '/') {
        return fromEnvironment;
    }
    const std::string home = environment("HOME");
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) {
        config = home + "/.config";
    }
    if (!config.empty()) {
        const std::string fromDirs = picturesFromUserDirs(config + "/user-dirs.dirs", home);
        if (!fromDirs.empty()) {
            return fromDirs;
        }
    }
    return home.empty() ? std::string() : home + "/Pictures";
}

std::string freeScreenshotPath(const std::string& folder, std::time_t when) {
    char stamp[32] = "unknown-time";
    std::tm local{};
    if (localtime_r(&when, &local)) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    }
    const std::string base = folder + "/vorlune-" + stamp;
    std::string path = base + ".png";
    std::error_code error;
    // Bounded: a folder that cannot be listed gets the first name, and its
    // write fails with a line of its own.
    for (int number = 2; number < 1000 && fs::exists(path, error); ++number) {
        path = base + "-" + std::to_string(number) + ".png";
    }
    return path;
}

std::string saveScreenshot(const sf::Image& picture, const std::string& folder, std::time_t when,
                           std::string& problem) {
    if (folder.empty()) {
        problem = "no pictures folder (HOME is not set)";
        return {};
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) {
        problem = "cannot make the folder " + folder;
        return {};
    }
    const std::string path = freeScreenshotPath(folder, when);
    if (!picture.saveToFile(path)) {
        problem = "cannot write " + path;
        return {};
    }
    return path;
}
