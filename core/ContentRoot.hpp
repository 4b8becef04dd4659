#pragma once

#include <string>
#include <vector>

// The game names its content the way it was laid out beside the build tree:
// "../assets/tilemap/zefMap.tmx", relative to a folder next to the content
// folder. Taken as written, such a path only works when the game is started
// from that folder. Instead the content folder is found once at start and
// every path that begins with "../assets/" is read from there, wherever the
// game was started; other paths (a recording named on the command line, a
// test's fixture) stay relative to the working directory.

// Where the content was looked for, and what was found.
struct ContentSearch {
    // The content folder, absolute and without a trailing slash; empty when
    // no candidate held the marker file.
    std::string root;
    // Every folder that was tried, in the order tried.
    std::vector<std::string> looked;
};

// When `overridePath` is given (the value of the VORLUNE_CONTENT environment
// variable), it alone decides: its "assets" folder if that holds `marker`,
// else the folder itself if it exists, whatever it holds (content being
// worked on may be incomplete; its files are reported one by one). Otherwise
// the first of these that holds `marker` (a path relative to it): "../assets"
// beside the executable (the build tree), `installedFromExecutable` beside
// the executable (the installed data folder, e.g. "../share/vorlune/assets"),
// and "../assets" under the working directory. Looks at the file system only.
ContentSearch findContentRoot(const std::string& executablePath, const char* overridePath,
                              const std::string& installedFromExecutable, const std::string& marker);

// The running program's own file ("/proc/self/exe"), or `argv0` made
// absolute when that cannot be read.
std::string runningExecutablePath(const char* argv0);

// Makes contentPath read "../assets/..." from `folder` (empty: as written).
void setContentRoot(const std::string& folder);
const std::string& contentRoot();

// `written` with slashes for backslashes and, when a content root is set and
// it begins with "../assets/", that prefix replaced by the root.
std::string contentPath(const std::string& written);
