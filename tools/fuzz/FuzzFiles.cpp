#include "FuzzFiles.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Context.hpp>

namespace fuzzFiles {

namespace {
std::string makeScratch() {
    std::error_code ignored;
    std::string base = std::filesystem::is_directory("/dev/shm", ignored) && access("/dev/shm", W_OK) == 0
                           ? "/dev/shm"
                           : std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/vorlune-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "fuzz: cannot make a scratch folder in %s\n", base.c_str());
        std::abort();
    }
    return pattern + "/";
}

void removeScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchDirectory(), ignored);
}
} // namespace

const std::string& scratchDirectory() {
    static const std::string directory = [] {
        std::string made = makeScratch();
        return made;
    }();
    static const bool removedAtExit = std::atexit(removeScratch) == 0;
    (void)removedAtExit;
    return directory;
}

std::string writeInput(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = scratchDirectory() + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

std::string writeImage(const std::string& name, unsigned width, unsigned height) {
    sf::Image image;
    image.create(width, height);
    for (unsigned x = 0; x < width; ++x) {
        for (unsigned y = 0; y < height; ++y) {
            const unsigned cell = x / 16 + 7 * (y / 16);
            image.setPixel(x, y,
                           sf::Color(static_cast<sf::Uint8>(40 * cell),
                                     static_cast<sf::Uint8>(90 + 13 * cell),
                                     static_cast<sf::Uint8>(200 - 11 * cell)));
        }
    }
    const std::string path = scratchDirectory() + name;
    if (!image.saveToFile(path)) {
        std::fprintf(stderr, "fuzz: cannot save the test image %s\n", path.c_str());
        std::abort();
    }
    return path;
}

sf::RenderTexture& newCanvas(unsigned width, unsigned height) {
    // A context held active on this thread for the whole run: without one,
    // every texture an input loads would make and drop a context of its own.
    static sf::Context* const held = new sf::Context();
    (void)held;
    auto* canvas = new sf::RenderTexture();
    if (!canvas->create(width, height)) {
        std::fprintf(stderr, "fuzz: cannot make a %ux%u render texture (is there a display?)\n", width,
                     height);
        std::abort();
    }
    return *canvas;
}

sf::RenderTexture& setUpDrawing(std::initializer_list<const char*> images, unsigned imageWidth,
                                unsigned imageHeight, unsigned canvasWidth, unsigned canvasHeight) {
    for (const char* image : images) {
        writeImage(image, imageWidth, imageHeight);
    }
    return newCanvas(canvasWidth, canvasHeight);
}

} // namespace fuzzFiles
