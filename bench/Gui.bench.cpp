// What a menu page costs per frame: drawing it, and handling a mouse move
// over it. The page is the widget tests' sample form (every widget kind).
#include <benchmark/benchmark.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "widgets/FormLoader.hpp"
#include "widgets/Gui.hpp"

namespace {
const char* const samplePage = "../tests/widgets/forms/AllWidgets.txt";

// Loads the sample page into a GUI on a 1920 x 1080 texture; false (with the
// benchmark marked failed) when the texture or the page cannot be made.
bool makePage(benchmark::State& state, sf::RenderTexture& target, widgets::Gui& gui) {
    if (!target.create(1920, 1080)) {
        state.SkipWithError("no render texture");
        return false;
    }
    gui.setTarget(target);
    try {
        widgets::loadFormFile(*gui.getRoot(), samplePage);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return false;
    }
    return true;
}
} // namespace

static void DrawPage(benchmark::State& state) {
    sf::RenderTexture target;
    widgets::Gui gui;
    if (!makePage(state, target, gui)) {
        return;
    }
    for (auto _ : state) {
        gui.draw();
        // Wait for the GPU (here Mesa's software renderer) to finish the frame.
        target.display();
        target.setActive(true);
    }
}
BENCHMARK(DrawPage)->Unit(benchmark::kMicrosecond);

static void MoveMouseOverPage(benchmark::State& state) {
    sf::RenderTexture target;
    widgets::Gui gui;
    if (!makePage(state, target, gui)) {
        return;
    }
    sf::Event event;
    event.type = sf::Event::MouseMoved;
    int step = 0;
    for (auto _ : state) {
        // Sweeps across the buttons and the slider, so the hovered widget changes.
        event.mouseMove = {800 + step % 300, 300 + (step * 7) % 500};
        benchmark::DoNotOptimize(gui.handleEvent(event));
        ++step;
    }
}
BENCHMARK(MoveMouseOverPage);

BENCHMARK_MAIN();
