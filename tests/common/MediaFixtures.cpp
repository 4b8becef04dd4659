#include "common/MediaFixtures.hpp"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Image.hpp>

namespace fs = std::filesystem;

TempDirectory::TempDirectory() {
    std::string pattern = (fs::temp_directory_path() / "vorlune-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    root = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDirectory::path(const std::string& name) const {
    return name.empty() ? root : root + "/" + name;
}

std::string TempDirectory::writeText(const std::string& name, const std::string& text) const {
    const std::string file = path(name);
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string TempDirectory::writeImage(const std::string& name, unsigned width, unsigned height,
                                      const sf::Color& color) const {
    const std::string file = path(name);
    fs::create_directories(fs::path(file).parent_path());
    sf::Image image;
    image.create(width, height, color);
    if (!image.saveToFile(file)) {
        throw std::runtime_error("cannot write " + file);
    }
    return file;
}

std::string TempDirectory::writeTone(const std::string& name, float seconds) const {
    const std::string file = path(name);
    fs::create_directories(fs::path(file).parent_path());
    const unsigned rate = 22050;
    std::vector<sf::Int16> samples(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<sf::Int16>(8000.0 * std::sin(2.0 * 3.14159265 * 440.0 * i / rate));
    }
    sf::SoundBuffer buffer;
    if (!buffer.loadFromSamples(samples.data(), samples.size(), 1, rate) || !buffer.saveToFile(file)) {
        throw std::runtime_error("cannot write " + file);
    }
    return file;
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::string& directory)
    : previous(fs::current_path().string()) {
    fs::current_path(directory);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}
