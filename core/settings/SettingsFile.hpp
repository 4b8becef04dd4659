#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// A small human-readable settings file: one "key = value" a line, lines
// starting with "#" and blank lines ignored. Keys keep the order they were
// first read or set in, and every key is kept when the file is written again,
// also the ones no reader asked for (a newer game's, a person's notes).
//
// Reading never fails the program. A damaged file (a directory in its place,
// more than `maxFileBytes`, unreadable, a line without "=", control bytes, a
// last line without its line end, as a write cut short leaves it) is reported
// in one line naming the file, what could be read from it is kept, and the
// file is moved aside beside itself ("settings.txt.damaged", then
// "...damaged-2", ...), so it is never overwritten and the next write starts
// a sound file.
//
// Writing is safe: a temporary file in the same folder is written, flushed to
// the disk and renamed over the old one, so a crash or a full disk leaves the
// old file or the new one, never half of one. A failed write is reported once
// per file object; the values stay in memory.
class SettingsFile {
public:
    // Longer files are damage: a real one is a few hundred bytes.
    static constexpr std::size_t maxFileBytes = 64u * 1024u;

    explicit SettingsFile(std::filesystem::path path = {});

    // Reads the file at the path, replacing what is held. A missing file is
    // no problem: nothing is held. False when the file was damaged (reported
    // and moved aside as above).
    bool load();
    // Writes every key to the path (creating its folder) if anything changed
    // since the last load or save. False, reported once, when the write failed.
    bool save();
    // Writes even when nothing changed.
    bool saveNow();

    const std::filesystem::path& getPath() const { return path; }
    bool has(const std::string& key) const;
    // The value, or `fallback` when the key is not held.
    std::string get(const std::string& key, const std::string& fallback = "") const;
    // Sets or adds the key. Keys with "=", a line end or surrounding spaces,
    // and values with a line end, cannot be written and are ignored.
    void set(const std::string& key, const std::string& value);
    // Whether a value changed since the last load or save.
    bool isChanged() const { return changed; }
    const std::vector<std::pair<std::string, std::string>>& getEntries() const { return entries; }

private:
    // Parses `text` into entries; false with `problem` on damage, keeping
    // every line read before it.
    bool parse(const std::string& text, std::string& problem);

    std::filesystem::path path;
    std::vector<std::pair<std::string, std::string>> entries;
    bool changed = false;
    bool writeFailureReported = false;
};
