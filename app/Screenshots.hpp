#pragma once

#include <ctime>
#include <string>

#include <SFML/Graphics/Image.hpp>

// Where a player's screenshots go, and how they are named: the desktop's
// pictures folder (XDG_PICTURES_DIR from the environment when it holds an
// absolute path, else from user-dirs.dirs under $XDG_CONFIG_HOME or
// ~/.config; else ~/Pictures), one PNG per shot named with the local date and
// time, never over an existing file.

// The pictures folder as the environment gives it; empty when not even HOME is set.
std::string picturesFolder();

// "vorlune-2026-12-08_14-20-05.png" in `folder`, or "...-2.png", "-3", ... when
// that is taken.
std::string freeScreenshotPath(const std::string& folder, std::time_t when);

// Saves the picture into the folder (made if missing). The path written, or
// empty with `problem` set to why not.
std::string saveScreenshot(const sf::Image& picture, const std::string& folder, std::time_t when,
                           std::string& problem);
