// Map loading costs for a level of arena size: 100 x 60 tiles of 16 px in
// three tile layers, and 200 map objects each with a sprite, a static rigid
// body, a box collider and a tag. The map is generated into a temporary
// directory at start. Parsing, painting the tile layers and building the
// objects are measured separately; whole loads (read, parse, cut tilesets)
// too. Run from build/ under a display: painting needs an OpenGL context.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <SFML/Graphics/Image.hpp>

#include "physics/PhysicsManager.hpp"
#include "scene/AssetManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/InstantiateObjects.hpp"
#include "scene/InstantiateTileLayers.hpp"
#include "scene/MapStore.hpp"
#include "scene/TmxParser.hpp"

namespace {

constexpr int mapWidth = 100;
constexpr int mapHeight = 60;
constexpr int tileSize = 16;
constexpr int objectCount = 200;

std::string layerCsv(int seed) {
    std::ostringstream csv;
    for (int row = 0; row < mapHeight; ++row) {
        for (int column = 0; column < mapWidth; ++column) {
            // About a third of the cells are empty, the rest spread over 64 tiles.
            int value = (row * 31 + column * 17 + seed * 7) % 96;
            csv << (value < 32 ? 0 : value - 31);
            if (row + 1 < mapHeight || column + 1 < mapWidth) {
                csv << ',';
            }
        }
        csv << '\n';
    }
    return csv.str();
}

std::string objectGroup(const std::string& name, int id, int first, int count) {
    std::ostringstream group;
    group << " <objectgroup id=\"" << id << "\" name=\"" << name << "\">\n";
    for (int i = first; i < first + count; ++i) {
        group << "  <object id=\"" << i + 1 << "\" name=\"Thing" << i << "\" x=\"" << (i * 37) % 1560
              << "\" y=\"" << (i * 53) % 920 << "\" width=\"32\" height=\"16\">\n"
              << "   <properties>\n"
              << "    <property name=\"Platform\" value=\"tag\"/>\n"
              << "    <property name=\"body\" value=\"rigidbody\"/>\n"
              << "    <property name=\"look\" value=\"sprite\"/>\n"
              << "    <property name=\"look#0\" value=\"box.png\"/>\n"
              << "    <property name=\"shape\" value=\"box\"/>\n"
              << "   </properties>\n"
              << "  </object>\n";
    }
    group << " </objectgroup>\n";
    return group.str();
}

// The generated map, written once; its directory is removed at exit.
struct GeneratedMap {
    std::string directory;
    std::string path;
    std::string text;

    GeneratedMap() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlune-map-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::abort();
        }
        directory = pattern + "/";
        sf::Image tiles;
        tiles.create(128, 128, sf::Color(90, 160, 60));
        sf::Image box;
        box.create(32, 16, sf::Color(200, 120, 40));
        if (!tiles.saveToFile(directory + "tiles.png") || !box.saveToFile(directory + "box.png")) {
            std::abort();
        }
        std::ostringstream map;
        map << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\""
            << mapWidth << "\" height=\"" << mapHeight << "\" tilewidth=\"" << tileSize << "\" tileheight=\""
            << tileSize << "\" infinite=\"0\">\n"
            << " <tileset firstgid=\"1\" name=\"tiles\" tilewidth=\"16\" tileheight=\"16\" tilecount=\"64\" "
               "columns=\"8\">\n  <image source=\"tiles.png\" width=\"128\" height=\"128\"/>\n </tileset>\n";
        const char* layers[] = {"Back", "Platforms", "Front"};
        for (int i = 0; i < 3; ++i) {
            map << " <layer id=\"" << 10 + i << "\" name=\"" << layers[i] << "\" width=\"" << mapWidth
                << "\" height=\"" << mapHeight << "\">\n  <data encoding=\"csv\">\n"
                << layerCsv(i) << "</data>\n </layer>\n";
            map << objectGroup("Group" + std::to_string(i), 20 + i, i * 50, i < 2 ? 50 : 100);
        }
        map << "</map>\n";
        text = map.str();
        path = directory + "bench.tmx";
        std::ofstream(path, std::ios::binary) << text;
    }
    ~GeneratedMap() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
};

GeneratedMap& generated() {
    static GeneratedMap map;
    return map;
}

// The map loaded under "bench", with a world for the rigid bodies.
void prepareStore() {
    static bool loaded = [] {
        PhysicsManager::instance().createWorld(0.f, 10.f, 100.f);
        return MapStore::instance().loadMap(generated().path, "bench");
    }();
    if (!loaded) {
        std::abort();
    }
}

// Drops everything the last iteration built (its bodies and textures with it).
void releaseScene() {
    auto& manager = GameObjectManager::instance();
    manager.flushPendingAdditions();
    manager.clear(true);
}

void parseMap(benchmark::State& state) {
    const std::string& text = generated().text;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        state.ResumeTiming();
        auto map = parseTmx(buffer.data());
        benchmark::DoNotOptimize(map);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(parseMap)->Unit(benchmark::kMillisecond);

void loadMap(benchmark::State& state) {
    prepareStore();
    int count = 0;
    for (auto _ : state) {
        // A new name each time: a taken name would still be read and parsed,
        // but keep the store from growing differently.
        bool loaded = MapStore::instance().loadMap(generated().path, "load" + std::to_string(count++));
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(loadMap)->Unit(benchmark::kMillisecond);

void paintTileLayers(benchmark::State& state) {
    prepareStore();
    for (auto _ : state) {
        auto holder = instantiateTileLayers("bench", true, false);
        benchmark::DoNotOptimize(holder);
        state.PauseTiming();
        holder.reset();
        releaseScene();
        state.ResumeTiming();
    }
}
BENCHMARK(paintTileLayers)->Unit(benchmark::kMillisecond);

void instantiateMapObjects(benchmark::State& state) {
    prepareStore();
    std::vector<std::shared_ptr<GameObject>> objects;
    for (auto _ : state) {
        instantiateObjects("bench", objects, true);
        state.PauseTiming();
        if (objects.size() != objectCount) {
            state.SkipWithError("not every object was built");
        }
        objects.clear();
        releaseScene();
        state.ResumeTiming();
    }
}
BENCHMARK(instantiateMapObjects)->Unit(benchmark::kMillisecond);

void instantiateWholeMap(benchmark::State& state) {
    prepareStore();
    for (auto _ : state) {
        MapStore::instance().instantiate("bench", true, false);
        state.PauseTiming();
        releaseScene();
        state.ResumeTiming();
    }
}
BENCHMARK(instantiateWholeMap)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
