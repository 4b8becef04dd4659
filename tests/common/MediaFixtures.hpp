#pragma once

#include <string>

#include <SFML/Graphics/Color.hpp>

// Small media files written by the tests themselves into a private temporary
// directory, so no test depends on the game's content.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // Absolute path of `name` inside the directory (no trailing slash for "").
    std::string path(const std::string& name = "") const;
    // Writes a text file, creating the directories on the way.
    std::string writeText(const std::string& name, const std::string& text) const;
    // Writes a PNG of one colour.
    std::string writeImage(const std::string& name, unsigned width, unsigned height,
                           const sf::Color& color = sf::Color::White) const;
    // Writes a mono 16-bit WAV tone of the given length.
    std::string writeTone(const std::string& name, float seconds) const;

private:
    std::string root;
};

// Changes the working directory for the lifetime of the object.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& directory);
    ~ScopedWorkingDirectory();

private:
    std::string previous;
};
