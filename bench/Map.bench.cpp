// Map loading costs for a level of arena size: 100 x 60 tiles of 16 px in
// three tile layers, and 200 map objects each with a sprite, a static rigid
// body, a box collider and a tag. The map is generated into a temporary
// directory at start. Parsing, painting the tile layers and building the
// objects are measured separately; whole loads (read, parse, cut tilesets)
// too. Run from build/ under a display: painting needs an OpenGL context.
//
// Then a 200 x 200 map of four tile layers, saved in each tile layer format
// the map editor writes, is loaded and painted whole (read, parse, decode,
// build the layers, draw them into a picture of the whole map and read it
// back), against the editor's own renderer, tmxrasterizer, run on the same
// map as a whole process (when it is installed). The ratio of the two is
// printed at the end.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include "TileDataEncoder.hpp"
#include "app/Engine.hpp"
#include "level/InstantiateObjects.hpp"
#include "level/InstantiateTileLayers.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "tmx/TmxParser.hpp"

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

// The 200 x 200 map in every format, written once into the generated map's directory.
constexpr int largeSize = 200;
const char* const encodings[] = {"csv", "base64", "zlib", "gzip", "zstd"};

std::string largeMapPath(const std::string& encoding) {
    static std::map<std::string, std::string> paths;
    auto found = paths.find(encoding);
    if (found != paths.end()) {
        return found->second;
    }
    std::ostringstream map;
    map << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" << largeSize
        << "\" height=\"" << largeSize << "\" tilewidth=\"" << tileSize << "\" tileheight=\"" << tileSize
        << "\" infinite=\"0\">\n"
        << " <tileset firstgid=\"1\" name=\"tiles\" tilewidth=\"16\" tileheight=\"16\" tilecount=\"64\" "
           "columns=\"8\">\n  <image source=\"tiles.png\" width=\"128\" height=\"128\"/>\n </tileset>\n";
    for (int layer = 0; layer < 4; ++layer) {
        std::vector<uint32_t> numbers;
        for (int row = 0; row < largeSize; ++row) {
            for (int column = 0; column < largeSize; ++column) {
                // About a third empty; the top layer flips a few of its tiles.
                const int value = (row * 31 + column * 17 + layer * 7) % 96;
                uint32_t number = value < 32 ? 0u : static_cast<uint32_t>(value - 31);
                if (layer == 3 && number != 0 && value % 5 == 0) {
                    number |= 0x80000000u;
                }
                numbers.push_back(number);
            }
        }
        map << " <layer id=\"" << layer + 1 << "\" name=\"Layer" << layer << "\" width=\"" << largeSize
            << "\" height=\"" << largeSize << "\">\n  "
            << benchdata::dataElement(numbers, largeSize, encoding) << "\n </layer>\n";
    }
    map << "</map>\n";
    const std::string path = generated().directory + "large-" + encoding + ".tmx";
    std::ofstream(path, std::ios::binary) << map.str();
    paths.emplace(encoding, path);
    return path;
}

// Loads the map and draws it once into a picture of `width` x `height`
// pixels centred on the map, read back into memory: the whole map, or the
// first frame a player would see.
void loadAndPaintLargeMap(benchmark::State& state, const std::string& encoding, unsigned width,
                          unsigned height) {
    const std::string path = largeMapPath(encoding);
    int count = 0;
    for (auto _ : state) {
        const std::string name = "large-" + encoding + std::to_string(count++);
        if (!MapStore::instance().loadMap(path, name)) {
            state.SkipWithError("the map did not load");
            break;
        }
        auto holder = instantiateTileLayers(name, true, false);
        sf::RenderTexture target;
        if (!target.create(width, height)) {
            state.SkipWithError("no render texture of that size");
            break;
        }
        target.setView(sf::View(sf::Vector2f(0.f, 0.f),
                                sf::Vector2f(static_cast<float>(width), static_cast<float>(height))));
        target.clear(sf::Color::Transparent);
        RenderManager::instance().drawAll(target, 0.f, 0.f);
        target.display();
        sf::Image picture = target.getTexture().copyToImage();
        benchmark::DoNotOptimize(picture);
        state.PauseTiming();
        holder.reset();
        releaseScene();
        state.ResumeTiming();
    }
}

// Processor time of the finished child processes (and theirs), in seconds.
double childProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The editor's renderer on the same map: start, load, render, save a PNG,
// exit. Its processor time is kept in the counter "cpu".
void editorRendererOnLargeMap(benchmark::State& state, const std::string& encoding) {
    const std::string path = largeMapPath(encoding);
    const std::string command = "QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing '" + path + "' '" +
                                generated().directory + "rendered.png' >/dev/null 2>&1";
    if (std::system("command -v tmxrasterizer >/dev/null 2>&1") != 0) {
        state.SkipWithError("tmxrasterizer is not installed (scripts/setup.sh --tools)");
        return;
    }
    double childSeconds = 0.0;
    for (auto _ : state) {
        const double childrenBefore = childProcessorSeconds();
        const auto start = std::chrono::steady_clock::now();
        const int result = std::system(command.c_str());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (result != 0) {
            state.SkipWithError("tmxrasterizer failed");
            break;
        }
        state.SetIterationTime(elapsed.count());
        childSeconds += childProcessorSeconds() - childrenBefore;
    }
    state.counters["cpu"] = benchmark::Counter(childSeconds, benchmark::Counter::kAvgIterations);
}

// Per benchmark, wall-clock and processor time per iteration in
// milliseconds. Processor time counts every thread of the process (the
// software renderer draws on threads of its own) or, for the editor's
// renderer, its child process: on a machine shared with other work it is the
// steadier of the two.
class TimeReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double wall = 0.0;
        double processor = 0.0;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations <= 0 || run.error_occurred) {
                continue;
            }
            Times& kept = times[run.run_name.function_name];
            kept.wall = run.real_accumulated_time / static_cast<double>(run.iterations) * 1e3;
            auto child = run.counters.find("cpu");
            kept.processor = child != run.counters.end()
                                 ? child->second.value * 1e3
                                 : run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e3;
        }
    }
    const Times* find(const std::string& name) const {
        auto found = times.find(name);
        return found == times.end() ? nullptr : &found->second;
    }
    std::map<std::string, Times> times;
};

} // namespace

int main(int argc, char** argv) {
    // The objects' components come from the engine's built-in creators.
    connectEngine();
    const unsigned wholeMap = static_cast<unsigned>(largeSize * tileSize);
    for (const char* encoding : encodings) {
        benchmark::RegisterBenchmark(("loadAndPaintLargeMap/" + std::string(encoding)).c_str(),
                                     loadAndPaintLargeMap, std::string(encoding), wholeMap, wholeMap)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
        benchmark::RegisterBenchmark(("loadAndShowLargeMap/" + std::string(encoding)).c_str(),
                                     loadAndPaintLargeMap, std::string(encoding), 1920u, 1080u)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
        benchmark::RegisterBenchmark(("editorRendererOnLargeMap/" + std::string(encoding)).c_str(),
                                     editorRendererOnLargeMap, std::string(encoding))
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf(
        "\n200 x 200 map, four layers, against tmxrasterizer (the whole map into a PNG, as a process).\n"
        "  whole = load, build, draw all 3200 x 3200 pixels and read them back;\n"
        "  shown = load, build, draw and read back the first 1920 x 1080 frame.\n"
        "  Times in ms, wall / processor; ratio = tmxrasterizer / engine.\n");
    for (const char* encoding : encodings) {
        const std::string suffix = "/" + std::string(encoding);
        const auto* whole = reporter.find("loadAndPaintLargeMap" + suffix);
        const auto* shown = reporter.find("loadAndShowLargeMap" + suffix);
        const auto* editor = reporter.find("editorRendererOnLargeMap" + suffix);
        if (!whole || !shown || !editor) {
            continue;
        }
        std::printf("  %-7s tmxrasterizer %6.0f / %6.0f   whole %6.0f / %6.0f (%4.1fx / %4.1fx)   "
                    "shown %6.0f / %6.0f (%4.1fx / %4.1fx)\n",
                    encoding, editor->wall, editor->processor, whole->wall, whole->processor,
                    editor->wall / whole->wall, editor->processor / whole->processor, shown->wall,
                    shown->processor, editor->wall / shown->wall, editor->processor / shown->processor);
    }
    benchmark::Shutdown();
    return 0;
}
