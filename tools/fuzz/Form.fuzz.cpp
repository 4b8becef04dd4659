// libFuzzer harness for the form reader: the lexer, the parser and the
// widget building of widgets::loadFormText. Any text must give widgets or a
// FormError naming the problem; the widgets built must lay out and draw.
// Pictures may name the images the harness provides. Needs an X display for
// OpenGL (run it under Xvfb).
#include <cstddef>
#include <cstdint>
#include <string>

#include <SFML/Graphics/RenderTexture.hpp>

#include "FuzzFiles.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Group.hpp"
#include "widgets/ResourceCache.hpp"

namespace {

sf::RenderTexture& target() {
    static sf::RenderTexture& canvas = []() -> sf::RenderTexture& {
        widgets::ResourceCache::setFontPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
        // The names of our forms' own pictures, and a generic one.
        return fuzzFiles::setUpDrawing(
            {"backdrop.png", "title.png", "player1won.png", "player2won.png", "picture.png"}, 32, 32, 192,
            108);
    }();
    return canvas;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& canvas = target();
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto group = widgets::Group::create();
    group->setSize(widgets::Layout2d(192.f, 108.f));
    try {
        widgets::loadFormText(*group, text, "fuzz.txt", fuzzFiles::scratchDirectory());
    } catch (const widgets::FormError&) {
        return 0;
    }
    canvas.clear();
    group->draw(canvas);
    canvas.display();
    return 0;
}
