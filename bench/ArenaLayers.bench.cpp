// The arena's tile layers drawn into a 1920 x 1080 window, one at a time and
// all together, at the stage camera's nearest, plain and farthest zoom,
// each frame ended by `display` (which waits for the renderer), against the
// floor: one opaque window-sized textured quad plus `display`. The layers
// are the largest fixed cost of a fight frame on a software renderer, so a
// change that slows them shows here first. Wall-clock times; needs a display
// and the content: run it from build/ under
// xvfb-run -a -s "-screen 0 1920x1080x24 -noreset".

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include "level/InstantiateTileLayers.hpp"
#include "level/MapStore.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/TransformComponent.hpp"

namespace {
constexpr unsigned width = 1920;
constexpr unsigned height = 1080;

struct Arena {
    sf::RenderWindow window;
    std::shared_ptr<GameObject> holder;
    std::vector<std::shared_ptr<LayerRenderComponent>> layers;
    sf::Texture picture;
    sf::Sprite pictureSprite;
    bool ready = false;

    Arena() {
        window.create(sf::VideoMode(width, height), "Arena layers", sf::Style::Titlebar);
        if (!window.isOpen() || !MapStore::instance().loadMap("../assets/tilemap/zefMap.tmx", "arena")) {
            return;
        }
        // As the arena state builds them: smoothed.
        holder = instantiateTileLayers("arena", true, true);
        if (!holder) {
            return;
        }
        layers = holder->getComponents<LayerRenderComponent>();
        sf::Image image;
        image.create(width, height);
        for (unsigned y = 0; y < height; ++y) {
            for (unsigned x = 0; x < width; ++x) {
                image.setPixel(x, y, sf::Color(x & 255u, y & 255u, (x ^ y) & 255u));
            }
        }
        ready = !layers.empty() && picture.loadFromImage(image);
        pictureSprite.setTexture(picture, true);
    }

    // The camera's view over the map's middle at `zoom` (view size over window size).
    void look(float zoom) {
        sf::View view(sf::Vector2f(0.f, 0.f), sf::Vector2f(width * zoom, height * zoom));
        window.setView(view);
    }
};

Arena& arena() {
    static Arena made;
    return made;
}

void Floor(benchmark::State& state) {
    auto& a = arena();
    if (!a.ready) {
        state.SkipWithError("no window or no arena map (run from build/ under Xvfb)");
        return;
    }
    a.window.setView(a.window.getDefaultView());
    for (auto _ : state) {
        a.window.draw(a.pictureSprite);
        a.window.display();
    }
}
BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor's quad without blending, at the camera's zoom: what an opaque
// layer drawn as one picture would cost.
void OpaquePicture(benchmark::State& state) {
    auto& a = arena();
    if (!a.ready) {
        state.SkipWithError("no window or no arena map (run from build/ under Xvfb)");
        return;
    }
    a.look(static_cast<float>(state.range(0)) / 100.f);
    sf::Sprite sprite(a.picture);
    sprite.setOrigin(width / 2.f, height / 2.f);
    sprite.setScale(static_cast<float>(state.range(0)) / 100.f, static_cast<float>(state.range(0)) / 100.f);
    for (auto _ : state) {
        a.window.draw(sprite, sf::BlendNone);
        a.window.display();
    }
}
BENCHMARK(OpaquePicture)->Arg(70)->Arg(100)->Arg(130)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument 0: the layer's index in the map, or -1 for all of them in order;
// argument 1: the zoom in hundredths.
void Layers(benchmark::State& state) {
    auto& a = arena();
    if (!a.ready) {
        state.SkipWithError("no window or no arena map (run from build/ under Xvfb)");
        return;
    }
    const int index = static_cast<int>(state.range(0));
    if (index >= static_cast<int>(a.layers.size())) {
        state.SkipWithError("no such layer");
        return;
    }
    a.look(static_cast<float>(state.range(1)) / 100.f);
    state.SetLabel(index < 0 ? "all" : a.layers[static_cast<size_t>(index)]->tileMapLayer->layer->name);
    for (auto _ : state) {
        a.window.clear(sf::Color::Transparent);
        for (size_t i = 0; i < a.layers.size(); ++i) {
            if (index < 0 || static_cast<size_t>(index) == i) {
                a.layers[i]->draw(0.f, 0.f, a.window);
            }
        }
        a.window.display();
    }
}
BENCHMARK(Layers)
    ->ArgsProduct({{-1, 0, 1, 2, 3}, {70, 100, 130}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
} // namespace

BENCHMARK_MAIN();
