// Cost of one drawn frame of the render manager with 2,000 sprite renderers
// on four layers, without and with a re-sort, per renderable; also the sort
// alone and freeing a scene's worth of renderables. Draws into an
// off-screen texture under the software renderer, so the figures include
// SFML's draw calls as the game pays them. Wall-clock time: the software
// rasteriser works on threads of its own.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr int renderableCount = 2000;
constexpr int layerCount = 4;

struct Scene {
    Scene() {
        if (!target.create(1920, 1080)) {
            std::fprintf(stderr, "Couldn't create the 1920x1080 render texture\n");
            std::exit(1);
        }
        sf::Image image;
        image.create(16, 16, sf::Color::White);
        if (!texture.loadFromImage(image)) {
            std::fprintf(stderr, "Couldn't create the sprite texture\n");
            std::exit(1);
        }
        auto& render = RenderManager::instance();
        const char* names[layerCount] = {"Back", "Platforms", "Players", "Front"};
        for (const char* name : names) {
            layers.push_back(render.addLayer(name));
        }
        std::srand(1);
        auto sprite = std::make_shared<sf::Sprite>(texture);
        for (int i = 0; i < renderableCount; ++i) {
            auto object = GameObjectManager::instance().createGameObject("sprite");
            object->transform->setPosition(static_cast<float>(std::rand() % 1920),
                                           static_cast<float>(std::rand() % 1080));
            auto renderer = addComponent<SpriteRendererComponent>(object, sprite);
            renderer->depth = std::rand() % 8;
            renderer->setLayer(layers[static_cast<size_t>(i % layerCount)]);
            objects.push_back(object);
        }
        render.drawAll(target, 0, 0);
    }

    sf::RenderTexture target;
    sf::Texture texture;
    std::vector<std::shared_ptr<Layer>> layers;
    std::vector<std::shared_ptr<GameObject>> objects;
};

Scene& scene() {
    static Scene instance;
    return instance;
}

void drawFrame(benchmark::State& state, bool resort) {
    Scene& s = scene();
    auto& render = RenderManager::instance();
    for (auto _ : state) {
        render.needsSort = resort;
        s.target.clear();
        render.drawAll(s.target, 0, 0);
        s.target.display();
    }
    state.SetItemsProcessed(state.iterations() * renderableCount);
    state.counters["time_per_renderable"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * renderableCount,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DrawAllWithoutSort(benchmark::State& state) {
    drawFrame(state, false);
}
void BM_DrawAllWithSort(benchmark::State& state) {
    drawFrame(state, true);
}

// The sort alone, from the order the last sort left (as after adding a few
// renderables) or from a shuffled list (as after reordering the layers).
void sortList(benchmark::State& state, bool shuffle) {
    scene();
    auto& list = RenderManager::instance().renderables;
    std::mt19937 random(1);
    for (auto _ : state) {
        if (shuffle) {
            state.PauseTiming();
            std::shuffle(list.begin(), list.end(), random);
            state.ResumeTiming();
        }
        RenderManager::instance().sortRenderables();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * renderableCount);
    state.counters["time_per_renderable"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * renderableCount,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Freeing a whole scene's renderables one after another, as a state switch does.
void BM_FreeAll(benchmark::State& state) {
    scene();
    auto sprite = std::make_shared<sf::Sprite>(scene().texture);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::shared_ptr<GameObject>> objects;
        for (int i = 0; i < renderableCount; ++i) {
            auto object = GameObjectManager::instance().createGameObject("freed");
            addComponent<SpriteRendererComponent>(object, sprite);
            objects.push_back(object);
        }
        GameObjectManager::instance().pendingAdditions.clear();
        state.ResumeTiming();
        objects.clear();
    }
    state.SetItemsProcessed(state.iterations() * renderableCount);
    state.counters["time_per_renderable"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * renderableCount,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SortSorted(benchmark::State& state) {
    sortList(state, false);
}
void BM_SortShuffled(benchmark::State& state) {
    sortList(state, true);
}
} // namespace

BENCHMARK(BM_DrawAllWithoutSort)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_DrawAllWithSort)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FreeAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortSorted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
