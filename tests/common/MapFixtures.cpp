#include "common/MapFixtures.hpp"

#include <cstdio>

#include <gtest/gtest.h>

std::string fixtureMapPath(const std::string& name) {
    return std::string(VORLUNE_SOURCE_DIR) + "/tests/scene/maps/" + name;
}

StreamCapture::StreamCapture(bool errors) : errors(errors) {
    std::fflush(errors ? stderr : stdout);
    if (errors) {
        testing::internal::CaptureStderr();
    } else {
        testing::internal::CaptureStdout();
    }
}

StreamCapture::~StreamCapture() {
    text();
}

std::string StreamCapture::text() {
    if (capturing) {
        std::fflush(errors ? stderr : stdout);
        captured = errors ? testing::internal::GetCapturedStderr() : testing::internal::GetCapturedStdout();
        capturing = false;
    }
    return captured;
}

sf::Color pixelOfImageFile(const std::string& path, unsigned x, unsigned y) {
    sf::Image image;
    if (!image.loadFromFile(path) || x >= image.getSize().x || y >= image.getSize().y) {
        return sf::Color::Transparent;
    }
    return image.getPixel(x, y);
}
