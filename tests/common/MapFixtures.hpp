#pragma once

#include <string>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

// The map fixtures under tests/scene/maps (saved by the tile-map editor).
std::string fixtureMapPath(const std::string& name);

// What a block of code printed on one of the standard streams: standard
// output (`StdoutCapture`: the frame-rate line, figures) or standard error
// (`ReportCapture`: the reports of problems).
class StreamCapture {
public:
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    // Ends the capture (once) and returns everything printed since it began.
    std::string text();

protected:
    explicit StreamCapture(bool errors);
    ~StreamCapture();

private:
    bool errors;
    bool capturing = true;
    std::string captured;
};

class StdoutCapture : public StreamCapture {
public:
    StdoutCapture() : StreamCapture(false) {}
};

class ReportCapture : public StreamCapture {
public:
    ReportCapture() : StreamCapture(true) {}
};

// The colour of one pixel of an image file, or transparent black when the
// file cannot be read or the pixel lies outside it.
sf::Color pixelOfImageFile(const std::string& path, unsigned x, unsigned y);
