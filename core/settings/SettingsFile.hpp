#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// A small human-readable settings file: one "key = value" a line, lines
// starting with "#" and blank lines ignored, and a value may be followed by a
// comment (" # why"). Keys are matched whatever their case and however many
// spaces stand inside them. The first line of a key counts, as a person
// reading the file top-down expects.
//
// The file is a person's as much as the game's: writing it again keeps every
// line as it was read (comments, blank lines, spacing, keys no reader asked
// for, lines that cannot be read) and changes only the values that changed;
// new keys go at the end. A file read with Windows line ends or a byte-order
// mark is written with them.
//
// Reading never fails the program. A line that is not "key = value" (or not
// text, or a key's second line) is reported with its line number, once, and
// ignored; the rest is read. A file that is not a settings file at all (a
// directory in its place, more than `maxFileBytes`, unreadable, binary) is
// reported in one line naming it and moved aside beside itself
// ("settings.txt.damaged", then "...damaged-2", ...), so it is never
// overwritten and the next write starts a new file. Since the file is always
// written whole through a rename, a last line without its line end is a hand
// edit, not damage: it is read.
//
// Writing is safe: a temporary file in the same folder is written, flushed to
// the disk and renamed over the old one, so a crash or a full disk leaves the
// old file or the new one, never half of one. A failed write is reported once
// per file object; the values stay in memory.
class SettingsFile {
public:
    // Longer files are not settings: a real one is a few hundred bytes.
    static constexpr std::size_t maxFileBytes = 64u * 1024u;
    // At most this many unreadable lines are reported one by one; the rest in one line.
    static constexpr int reportedLines = 5;

    explicit SettingsFile(std::filesystem::path path = {});

    // Reads the file at the path, replacing what is held. A missing file is
    // no problem: nothing is held. False when the file was not a settings
    // file (reported and moved aside as above).
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
    // Sets or adds the key (a held key keeps the spelling it was read with).
    // Keys with "=", a line end or surrounding spaces, and values with a line
    // end, surrounding spaces or a comment, cannot be written and are ignored.
    void set(const std::string& key, const std::string& value);
    // Whether a value changed since the last load or save.
    bool isChanged() const { return changed; }
    // Every key held with its value, in the file's order, keys as spelled there.
    const std::vector<std::pair<std::string, std::string>>& getEntries() const { return entries; }
    // Whether two keys name the same setting (case and inner spaces aside).
    static bool sameKey(const std::string& a, const std::string& b);

private:
    // One line of the file as read: a key's line is split around its value,
    // so that a new value goes in between; any other line is all in `before`.
    struct Line {
        std::string before;
        std::string after;
        // The entry whose value stands in this line, or -1.
        int entry = -1;
    };

    // Reads `text` into lines and entries, reporting the lines it cannot read.
    void parse(const std::string& text);
    // The index of the key's entry, or -1.
    int find(const std::string& key) const;
    // The whole file as it is written.
    std::string fileText() const;

    std::filesystem::path path;
    std::vector<std::pair<std::string, std::string>> entries;
    std::vector<Line> lines;
    bool windowsLineEnds = false;
    bool byteOrderMark = false;
    bool changed = false;
    bool writeFailureReported = false;
};
