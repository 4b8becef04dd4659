#include "common/MapFixtures.hpp"

#include <cstdio>

#include <gtest/gtest.h>

std::string fixtureMapPath(const std::string& name) {
    return std::string(VORLUNE_SOURCE_DIR) + "/tests/scene/maps/" + name;
}

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
}

StdoutCapture::~StdoutCapture() {
    text();
}

std::string StdoutCapture::text() {
    if (capturing) {
        std::fflush(stdout);
        captured = testing::internal::GetCapturedStdout();
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
