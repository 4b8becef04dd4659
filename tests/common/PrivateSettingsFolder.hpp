#pragma once

#include <filesystem>

// Every test process keeps the game's settings in a folder of its own,
// never in the user's: XDG_CONFIG_HOME points at a fresh temporary folder for
// the whole process (games the tests start inherit it), which is emptied
// before every case and removed at exit.
class PrivateSettingsFolder {
public:
    PrivateSettingsFolder();
    ~PrivateSettingsFolder();
    PrivateSettingsFolder(const PrivateSettingsFolder&) = delete;
    PrivateSettingsFolder& operator=(const PrivateSettingsFolder&) = delete;

    // The folder XDG_CONFIG_HOME names.
    static const std::filesystem::path& root();
    // Removes everything in it, so a case starts without settings.
    static void empty();
};
