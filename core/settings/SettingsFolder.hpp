#pragma once

#include <filesystem>
#include <string>

// The folder that holds the user's settings: `chosen` when the command line
// named one (--config DIR), else "$XDG_CONFIG_HOME/vorlune", else
// "$HOME/.config/vorlune". Empty when none of them is known (no variable
// set): the game then keeps its settings for the run only. The environment
// values are passed in (null for an unset variable), so callers and tests
// decide where they come from.
std::filesystem::path settingsFolder(const std::string& chosen, const char* configHome, const char* home);
