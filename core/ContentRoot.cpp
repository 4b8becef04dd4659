#include "core/ContentRoot.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/Paths.hpp"

namespace fs = std::filesystem;

namespace {
const std::string contentPrefix = "../assets/";

std::string& rootFolder() {
    static std::string folder;
    return folder;
}

// A path as it will be reported and used: absolute, normalised, no
// trailing slash (so joining with "/" never doubles one).
std::string absoluteClean(const fs::path& folder) {
    std::error_code error;
    fs::path absolute = fs::absolute(folder, error);
    if (error) {
        absolute = folder;
    }
    std::string text = absolute.lexically_normal().generic_string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

bool holdsMarker(const std::string& folder, const std::string& marker) {
    std::error_code error;
    return fs::is_regular_file(fs::path(folder) / marker, error);
}
} // namespace

ContentSearch findContentRoot(const std::string& executablePath, const char* overridePath,
                              const std::string& installedFromExecutable, const std::string& marker) {
    struct Candidate {
        std::string folder;
        // A folder named by the user is taken as it is: damaged or partial
        // content is theirs to try, and is reported file by file.
        bool named;
    };
    std::vector<Candidate> candidates;
    if (overridePath && *overridePath) {
        // Pointing at the folder that holds "assets" is an easy slip.
        candidates.push_back({absoluteClean(fs::path(overridePath) / "assets"), false});
        candidates.push_back({absoluteClean(overridePath), true});
    } else {
        if (!executablePath.empty()) {
            const fs::path beside = fs::path(executablePath).parent_path();
            candidates.push_back({absoluteClean(beside / "../assets"), false});
            candidates.push_back({absoluteClean(beside / installedFromExecutable), false});
        }
        candidates.push_back({absoluteClean("../assets"), false});
    }

    ContentSearch search;
    for (const Candidate& candidate : candidates) {
        if (std::find(search.looked.begin(), search.looked.end(), candidate.folder) != search.looked.end()) {
            continue;
        }
        search.looked.push_back(candidate.folder);
        std::error_code error;
        if (candidate.named ? fs::is_directory(candidate.folder, error)
                            : holdsMarker(candidate.folder, marker)) {
            search.root = candidate.folder;
            break;
        }
    }
    return search;
}

std::string runningExecutablePath(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error && !self.empty()) {
        return self.generic_string();
    }
    return argv0 && *argv0 ? absoluteClean(argv0) : std::string();
}

void setContentRoot(const std::string& folder) {
    rootFolder() = folder.empty() ? std::string() : absoluteClean(folder);
}

const std::string& contentRoot() {
    return rootFolder();
}

std::string contentPath(const std::string& written) {
    std::string path = normalisePath(written);
    const std::string& root = rootFolder();
    if (!root.empty() && path.compare(0, contentPrefix.size(), contentPrefix) == 0) {
        return root + "/" + path.substr(contentPrefix.size());
    }
    return path;
}
