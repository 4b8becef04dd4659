// The fixed costs of a drawn frame at 1920 x 1080, each ended by the
// window's `display` (which waits for the renderer): the floor (one opaque
// full-window textured quad), the floor under an overlay's copy and clear,
// and a whole frame of the loop with an empty scene (the window's clear, the
// GUI, an overlay nothing was drawn into).
// On a software renderer every full-window pass is real time, spent in the
// renderer's own threads: the times are wall-clock times. Compare each line
// with the floor. Needs a display: run it from build/ under
// xvfb-run -a -s "-screen 0 1920x1080x24 -noreset".

#include <benchmark/benchmark.h>

#include <memory>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "app/Game.hpp"
#include "render/RenderManager.hpp"

namespace {
constexpr unsigned width = 1920;
constexpr unsigned height = 1080;

// One game (window, overlay) for every benchmark of the run.
struct Frame {
    Game game;
    sf::Texture picture;
    sf::Sprite pictureSprite;
    bool ready = false;

    Frame() {
        game.title = "Frame copies";
        if (!game.init()) {
            return;
        }
        sf::Image image;
        image.create(width, height);
        for (unsigned y = 0; y < height; ++y) {
            for (unsigned x = 0; x < width; ++x) {
                image.setPixel(x, y, sf::Color(x & 255u, y & 255u, (x ^ y) & 255u));
            }
        }
        ready = picture.loadFromImage(image);
        pictureSprite.setTexture(picture, true);
    }
};

Frame& frame() {
    static Frame made;
    return made;
}

void Floor(benchmark::State& state) {
    auto& f = frame();
    if (!f.ready) {
        state.SkipWithError("no window");
        return;
    }
    for (auto _ : state) {
        f.game.window.draw(f.pictureSprite);
        f.game.window.display();
    }
}
BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->UseRealTime();

// An overlay that was drawn into: its blended copy and its clear, on top of the floor.
void FloorWithOverlayCopyAndClear(benchmark::State& state) {
    auto& f = frame();
    if (!f.ready) {
        state.SkipWithError("no window");
        return;
    }
    auto& overlay = RenderManager::instance().overlayTexture;
    for (auto _ : state) {
        overlay.display();
        f.game.window.draw(f.pictureSprite);
        f.game.window.draw(f.game.overlaySprite);
        f.game.window.display();
        overlay.clear(sf::Color::Transparent);
        f.game.window.setActive(true);
    }
}
BENCHMARK(FloorWithOverlayCopyAndClear)->Unit(benchmark::kMillisecond)->UseRealTime();

// The loop's whole draw with nothing in the scene.
void EmptyFrame(benchmark::State& state) {
    auto& f = frame();
    if (!f.ready) {
        state.SkipWithError("no window");
        return;
    }
    for (auto _ : state) {
        f.game.draw(1.0f / 60.0f, 0.0f);
    }
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
