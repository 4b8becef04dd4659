#include "core/settings/SettingsFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "core/Report.hpp"

namespace fs = std::filesystem;

namespace {
std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Anything below a space but a tab is not text a person or this game wrote.
bool hasControlBytes(const std::string& line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            return true;
        }
    }
    return false;
}

// The first name beside `file` that nothing has: "<file>.damaged", then "-2", "-3", ...
fs::path freeAsideName(const fs::path& file) {
    std::error_code ignored;
    fs::path candidate = file.string() + ".damaged";
    for (int n = 2; fs::symlink_status(candidate, ignored).type() != fs::file_type::not_found && n < 1000;
         ++n) {
        candidate = file.string() + ".damaged-" + std::to_string(n);
    }
    return candidate;
}

// Writes the whole text and forces it to the disk; false with errno kept.
bool writeAndSync(int descriptor, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(descriptor, text.data() + done, text.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return ::fsync(descriptor) == 0;
}
} // namespace

SettingsFile::SettingsFile(fs::path filePath) : path(std::move(filePath)) {}

bool SettingsFile::has(const std::string& key) const {
    for (const auto& entry : entries) {
        if (entry.first == key) {
            return true;
        }
    }
    return false;
}

std::string SettingsFile::get(const std::string& key, const std::string& fallback) const {
    for (const auto& entry : entries) {
        if (entry.first == key) {
            return entry.second;
        }
    }
    return fallback;
}

void SettingsFile::set(const std::string& key, const std::string& value) {
    if (key.empty() || key != trimmed(key) || key[0] == '#' || key.find('=') != std::string::npos ||
        hasControlBytes(key) || hasControlBytes(value) || value != trimmed(value)) {
        return;
    }
    for (auto& entry : entries) {
        if (entry.first == key) {
            changed = changed || entry.second != value;
            entry.second = value;
            return;
        }
    }
    entries.emplace_back(key, value);
    changed = true;
}

bool SettingsFile::parse(const std::string& text, std::string& problem) {
    size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        ++lineNumber;
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            // Every line this game writes ends with a line end: a last line
            // without one is what an interrupted write leaves.
            problem = "it is cut short (line " + std::to_string(lineNumber) + " has no end)";
            return false;
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (hasControlBytes(line)) {
            problem = "line " + std::to_string(lineNumber) + " is not text";
            return false;
        }
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == '#') {
            continue;
        }
        const size_t equals = content.find('=');
        const std::string key = equals == std::string::npos ? "" : trimmed(content.substr(0, equals));
        if (key.empty()) {
            problem = "line " + std::to_string(lineNumber) + " is not \"key = value\"";
            return false;
        }
        // The first value of a key counts, as a person reading the file top-down expects.
        if (!has(key)) {
            entries.emplace_back(key, trimmed(content.substr(equals + 1)));
        }
    }
    return true;
}

bool SettingsFile::load() {
    entries.clear();
    changed = false;
    if (path.empty()) {
        return true;
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    std::string problem;
    if (status.type() == fs::file_type::not_found) {
        return true;
    }
    if (status.type() == fs::file_type::directory) {
        problem = "a folder stands where the file should be";
    } else if (error || status.type() != fs::file_type::regular) {
        problem = error ? "it cannot be read (" + error.message() + ")" : "it is not a regular file";
    } else {
        const auto size = fs::file_size(path, error);
        if (error) {
            problem = "it cannot be read (" + error.message() + ")";
        } else if (size > maxFileBytes) {
            problem = "it is " + std::to_string(size) + " bytes, far more than settings take";
        } else if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
            std::string text(static_cast<size_t>(size), '\0');
            const size_t read = std::fread(text.data(), 1, text.size(), file);
            const bool failed = std::ferror(file) != 0;
            std::fclose(file);
            if (failed) {
                problem = "it cannot be read";
            } else {
                text.resize(read);
                parse(text, problem);
            }
        } else {
            problem = std::string("it cannot be read (") + std::strerror(errno) + ")";
        }
    }
    if (problem.empty()) {
        return true;
    }
    const fs::path aside = freeAsideName(path);
    fs::rename(path, aside, error);
    if (error) {
        reportProblem("Settings %s: %s; using the defaults for what could not be read, and the file is left "
                      "as it is (it could not be moved aside: %s), so settings are not saved this run",
                      path.c_str(), problem.c_str(), error.message().c_str());
        // Never written over: the person may want what is in it.
        path.clear();
    } else {
        reportProblem(
            "Settings %s: %s; using the defaults for what could not be read, the file was moved to %s",
            path.c_str(), problem.c_str(), aside.c_str());
    }
    // What was read is written back as a sound file at the next save.
    changed = true;
    return false;
}

bool SettingsFile::save() {
    return !changed || saveNow();
}

bool SettingsFile::saveNow() {
    if (path.empty()) {
        return false;
    }
    std::string text = "# Vorlune settings, one \"key = value\" a line. The game rewrites this file when a\n"
                       "# setting changes and at exit, keeping keys it does not know.\n";
    for (const auto& [key, value] : entries) {
        text += key + " = " + value + "\n";
    }
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const fs::path temporary = path.string() + ".tmp";
    std::string problem;
    const int descriptor =
        error ? -1 : ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (error) {
        problem = "its folder cannot be made (" + error.message() + ")";
    } else if (descriptor < 0) {
        problem = std::string("it cannot be written (") + std::strerror(errno) + ")";
    } else {
        const bool written = writeAndSync(descriptor, text);
        const int writeError = errno;
        const bool closed = ::close(descriptor) == 0;
        if (!written || !closed) {
            problem =
                std::string("it cannot be written (") + std::strerror(written ? errno : writeError) + ")";
        } else if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            problem = std::string("it cannot be replaced (") + std::strerror(errno) + ")";
        }
    }
    if (!problem.empty()) {
        fs::remove(temporary, error);
        if (!writeFailureReported) {
            reportProblem("Settings %s: %s; the settings of this run are not kept", path.c_str(),
                          problem.c_str());
            writeFailureReported = true;
        }
        return false;
    }
    changed = false;
    return true;
}
