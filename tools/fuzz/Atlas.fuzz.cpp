// libFuzzer harness for the texture-atlas reader: AssetManager::loadAtlas
// on any file must load it or refuse it with one line, and every sprite it
// stores must draw. The images our atlases name are provided small by the
// harness. Needs an X display for OpenGL (run it under Xvfb).
#include <cstddef>
#include <cstdint>
#include <string>

#include <SFML/Graphics/RenderTexture.hpp>

#include "FuzzFiles.hpp"
#include "render/AssetManager.hpp"

namespace {

sf::RenderTexture& target() {
    static sf::RenderTexture& canvas = fuzzFiles::setUpDrawing(
        {"idle.png", "fall.png", "run.png", "jump_idle.png", "jump_run.png", "run_startup.png", "sheet.png"},
        96, 64, 64, 64);
    return canvas;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& canvas = target();
    const std::string path = fuzzFiles::writeInput("atlas.xml", data, size);
    auto& assets = AssetManager::instance();
    if (assets.loadAtlas(path)) {
        canvas.clear();
        for (const auto& entry : assets.sprites) {
            canvas.draw(*entry.second);
        }
        canvas.display();
    }
    // Each input starts from an empty cache, as the game's start-up does.
    assets.sprites.clear();
    assets.textures.clear();
    assets.spriteSources.clear();
    return 0;
}
