// libFuzzer harness for the form reader: the lexer, the parser, the value
// reader (layout expressions, lists) and the widget building of
// widgets::loadFormText. Any text must give widgets or a FormError naming the
// problem; the widgets built must lay out, take a few clicks, keys, wheel
// turns and a resize through the Gui, and draw. Pictures may name the images
// the harness provides. Needs an X display for OpenGL (run it under Xvfb).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <SFML/Graphics/RenderTexture.hpp>

#include "FuzzFiles.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Gui.hpp"
#include "widgets/ProblemReport.hpp"
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

// Events over the canvas: a click in the middle (focus, a check box, a list
// row), typing with the keyboard's editing keys, a wheel turn, a resize.
std::vector<sf::Event> script() {
    std::vector<sf::Event> events;
    const auto mouse = [&](sf::Event::EventType type, int x, int y) {
        sf::Event event;
        event.type = type;
        if (type == sf::Event::MouseMoved) {
            event.mouseMove = {x, y};
        } else {
            event.mouseButton = {sf::Mouse::Left, x, y};
        }
        events.push_back(event);
    };
    const auto key = [&](sf::Keyboard::Key code, bool control, bool shift) {
        sf::Event event;
        event.type = sf::Event::KeyPressed;
        event.key = {code, false, control, shift, false};
        events.push_back(event);
    };
    mouse(sf::Event::MouseMoved, 96, 54);
    mouse(sf::Event::MouseButtonPressed, 96, 54);
    mouse(sf::Event::MouseMoved, 20, 54);
    mouse(sf::Event::MouseButtonReleased, 20, 54);
    for (const sf::Uint32 c : {sf::Uint32('1'), sf::Uint32(':'), sf::Uint32('a'), sf::Uint32(0x263A)}) {
        sf::Event event;
        event.type = sf::Event::TextEntered;
        event.text.unicode = c;
        events.push_back(event);
    }
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::BackSpace, false, false);
    key(sf::Keyboard::Down, false, false);
    key(sf::Keyboard::End, false, false);
    key(sf::Keyboard::Space, false, false);
    key(sf::Keyboard::Return, false, false);
    sf::Event wheel;
    wheel.type = sf::Event::MouseWheelScrolled;
    wheel.mouseWheelScroll = {sf::Mouse::VerticalWheel, -2.0f, 96, 54};
    events.push_back(wheel);
    sf::Event resize;
    resize.type = sf::Event::Resized;
    resize.size = {120, 200};
    events.push_back(resize);
    return events;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target();
    // Warnings about skipped parts are expected by the thousand.
    widgets::setProblemSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& canvas = target();
    const std::string text(reinterpret_cast<const char*>(data), size);
    widgets::Gui gui(canvas);
    try {
        widgets::loadFormText(*gui.getRoot(), text, "fuzz.txt", fuzzFiles::scratchDirectory());
    } catch (const widgets::FormError&) {
        return 0;
    }
    static const std::vector<sf::Event> events = script();
    for (const sf::Event& event : events) {
        gui.handleEvent(event);
    }
    gui.update(1.0f);
    canvas.clear();
    gui.draw();
    canvas.display();
    return 0;
}
