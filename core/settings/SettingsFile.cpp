#include "core/settings/SettingsFile.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "core/Report.hpp"

namespace fs = std::filesystem;

namespace {
const char* const byteOrderMarkBytes = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Anything below a space but a tab is not text a person or this game wrote.
bool isControlByte(char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t';
}

bool hasControlBytes(const std::string& line) {
    return std::any_of(line.begin(), line.end(), isControlByte);
}

// Where a comment after a value starts: a "#" after a space or tab; npos without one.
size_t commentStart(const std::string& text, size_t from) {
    for (size_t at = text.find('#', from); at != std::string::npos; at = text.find('#', at + 1)) {
        if (at == from || isBlank(text[at - 1])) {
            return at;
        }
    }
    return std::string::npos;
}

// A file with a zero byte, or with more control bytes than a stray one or
// two, is some other kind of file (a picture, an archive, text in two bytes
// a character), not settings a person wrote.
bool isBinary(const std::string& text) {
    size_t control = 0;
    for (const char c : text) {
        if (c == '\0') {
            return true;
        }
        control += isControlByte(c) && c != '\n' && c != '\r';
    }
    return control > text.size() / 8;
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

bool SettingsFile::sameKey(const std::string& a, const std::string& b) {
    // Compared as folded: lower case, each run of spaces and tabs as one space.
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isBlank(a[i]) && isBlank(b[j])) {
            while (i < a.size() && isBlank(a[i])) {
                ++i;
            }
            while (j < b.size() && isBlank(b[j])) {
                ++j;
            }
            continue;
        }
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[j]))) {
            return false;
        }
        ++i;
        ++j;
    }
    return i == a.size() && j == b.size();
}

int SettingsFile::find(const std::string& key) const {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (sameKey(entries[i].first, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SettingsFile::has(const std::string& key) const {
    return find(key) >= 0;
}

std::string SettingsFile::get(const std::string& key, const std::string& fallback) const {
    const int found = find(key);
    return found >= 0 ? entries[static_cast<size_t>(found)].second : fallback;
}

void SettingsFile::set(const std::string& key, const std::string& value) {
    // What could not be read back as this key and value is not written.
    if (key.empty() || key != trimmed(key) || key[0] == '#' || key.find('=') != std::string::npos ||
        hasControlBytes(key) || hasControlBytes(value) || value != trimmed(value) ||
        commentStart(value, 0) != std::string::npos) {
        return;
    }
    const int found = find(key);
    if (found >= 0) {
        auto& held = entries[static_cast<size_t>(found)].second;
        changed = changed || held != value;
        held = value;
        return;
    }
    entries.emplace_back(key, value);
    changed = true;
}

void SettingsFile::parse(const std::string& text) {
    size_t start = text.compare(0, 3, byteOrderMarkBytes) == 0 ? 3 : 0;
    byteOrderMark = start == 3;
    const size_t firstEnd = text.find('\n');
    windowsLineEnds = firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r';
    std::vector<std::pair<int, std::string>> unreadable;
    int lineNumber = 0;
    while (start < text.size()) {
        ++lineNumber;
        // A last line without a line end is read like any other.
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        Line kept{line, "", -1};
        const std::string content = trimmed(line);
        const size_t equals = line.find('=');
        const std::string key = equals == std::string::npos ? "" : trimmed(line.substr(0, equals));
        if (hasControlBytes(line)) {
            unreadable.emplace_back(lineNumber, "is not text");
        } else if (content.empty() || content[0] == '#') {
            // A note or a blank line, kept as it is.
        } else if (key.empty()) {
            unreadable.emplace_back(lineNumber, "is not \"key = value\"");
        } else if (has(key)) {
            unreadable.emplace_back(lineNumber, "sets " + key + " again (its first line counts)");
        } else {
            // Split as "<key =  ><value><  # comment>", so that a new value keeps the rest.
            const size_t comment = std::min(commentStart(line, equals + 1), line.size());
            size_t valueBegin = equals + 1;
            while (valueBegin < comment && isBlank(line[valueBegin])) {
                ++valueBegin;
            }
            size_t valueEnd = comment;
            while (valueEnd > valueBegin && isBlank(line[valueEnd - 1])) {
                --valueEnd;
            }
            kept.before = line.substr(0, valueBegin);
            kept.after = line.substr(valueEnd);
            // "key =" with nothing after it gets a space before a value set later.
            if (valueBegin == valueEnd && kept.before.back() == '=') {
                kept.before += ' ';
            }
            kept.entry = static_cast<int>(entries.size());
            entries.emplace_back(key, line.substr(valueBegin, valueEnd - valueBegin));
        }
        lines.push_back(std::move(kept));
    }
    for (size_t i = 0; i < unreadable.size() && i < static_cast<size_t>(reportedLines); ++i) {
        reportProblem("Settings %s: line %d %s; it is ignored and kept in the file", path.c_str(),
                      unreadable[i].first, unreadable[i].second.c_str());
    }
    if (unreadable.size() > static_cast<size_t>(reportedLines)) {
        reportProblem("Settings %s: %d more lines cannot be read; they are ignored and kept in the file",
                      path.c_str(), static_cast<int>(unreadable.size()) - reportedLines);
    }
}

bool SettingsFile::load() {
    entries.clear();
    lines.clear();
    windowsLineEnds = false;
    byteOrderMark = false;
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
            text.resize(read);
            if (failed) {
                problem = "it cannot be read";
            } else if (isBinary(text)) {
                problem = "it is not text";
            } else {
                parse(text);
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
        reportProblem("Settings %s: %s; using the defaults, and the file is left as it is (it could not be "
                      "moved aside: %s), so settings are not saved this run",
                      path.c_str(), problem.c_str(), error.message().c_str());
        // Never written over: the person may want what is in it.
        path.clear();
    } else {
        reportProblem("Settings %s: %s; using the defaults, the file was moved to %s", path.c_str(),
                      problem.c_str(), aside.c_str());
    }
    // A new file is written at the next save.
    changed = true;
    return false;
}

std::string SettingsFile::fileText() const {
    const std::string lineEnd = windowsLineEnds ? "\r\n" : "\n";
    std::string out = byteOrderMark ? byteOrderMarkBytes : "";
    if (lines.empty()) {
        out +=
            "# Vorlune settings, one \"key = value\" a line. The game rewrites this file when a" + lineEnd +
            "# setting changes and at exit, keeping your notes, lines and keys it does not know." + lineEnd;
    }
    std::vector<bool> written(entries.size(), false);
    for (const auto& line : lines) {
        if (line.entry < 0) {
            out += line.before + lineEnd;
            continue;
        }
        written[static_cast<size_t>(line.entry)] = true;
        out += line.before + entries[static_cast<size_t>(line.entry)].second + line.after + lineEnd;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!written[i]) {
            out += entries[i].first + " = " + entries[i].second + lineEnd;
        }
    }
    return out;
}

bool SettingsFile::save() {
    return !changed || saveNow();
}

bool SettingsFile::saveNow() {
    if (path.empty()) {
        return false;
    }
    const std::string text = fileText();
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
