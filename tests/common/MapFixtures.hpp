#pragma once

#include <string>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

// The map fixtures under tests/scene/maps (saved by the tile-map editor).
std::string fixtureMapPath(const std::string& name);

// What a block of code printed on standard output.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;
    // Ends the capture (once) and returns everything printed since it began.
    std::string text();

private:
    bool capturing = true;
    std::string captured;
};

// The colour of one pixel of an image file, or transparent black when the
// file cannot be read or the pixel lies outside it.
sf::Color pixelOfImageFile(const std::string& path, unsigned x, unsigned y);
