// A timed, scripted run of the whole game at 1920 x 1080, the way the frame
// loop runs it, reported against the floor: one opaque full-window textured
// quad drawn to the window plus `display`, the least any drawn frame costs on
// this renderer. Ratios to the floor are what compare from machine to
// machine; milliseconds alone only mean something on one machine.
//
// The run: start-up to the first menu frame; a press of the menu's start
// button and the arena page's button to the first arena frame, twice (the second match is the usual
// one); then the fight, both players computer-driven (moving, floating and
// flinging their beards) with beards grown quickly to their full 80 segments
// and regrown quickly after a cut, every frame one fixed step, its update and
// a draw. Frame times are given as p50/p95/p99/max, with their split into
// fixed steps, update and drawing, and the peak resident memory; last, the
// drawing's share of each kind of renderable.
//
// Needs a display and the content: run it from build/ under
// xvfb-run -a -s "-screen 0 1920x1080x24 -noreset". Optional arguments: the
// number of fight frames to time (default 900) and the arena (isles,
// spires or crossing; default isles).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cxxabi.h>
#include <fstream>
#include <malloc.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <typeinfo>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include "ArenaPlayers.hpp"
#include "app/GuiManager.hpp"
#include "app/SceneCounts.hpp"
#include "core/StateManager.hpp"
#include "game/Arenas.hpp"
#include "game/VorluneGame.hpp"
#include "game/demo/DemoFigures.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "game/states/ArenaPage.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/RenderableComponent.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/Widget.hpp"

namespace {
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

double mean(const std::vector<double>& values) {
    double sum = 0.0;
    for (double value : values) {
        sum += value;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

double loadAverage() {
    std::ifstream file("/proc/loadavg");
    double load = 0.0;
    file >> load;
    return load;
}

// The machine's processor time so far (all processors, in clock ticks), and
// the part of it the virtual machine's host kept for itself ("steal").
struct MachineTime {
    long long total = 0, stolen = 0;
};

MachineTime machineTime() {
    std::ifstream file("/proc/stat");
    std::string label;
    file >> label;
    MachineTime time;
    long long value = 0;
    for (int field = 0; field < 8 && file >> value; ++field) {
        time.total += value;
        time.stolen = field == 7 ? value : time.stolen;
    }
    return time;
}

// One opaque window-sized textured quad plus display, the floor's frame.
class FloorFrame {
public:
    explicit FloorFrame(sf::RenderWindow& window) : window(window) {
        const sf::Vector2u size = window.getSize();
        sf::Image picture;
        picture.create(size.x, size.y);
        for (unsigned y = 0; y < size.y; ++y) {
            for (unsigned x = 0; x < size.x; ++x) {
                picture.setPixel(x, y, sf::Color(x & 255u, y & 255u, (x ^ y) & 255u));
            }
        }
        if (!texture.loadFromImage(picture)) {
            std::printf("Couldn't make the floor's texture\n");
            return;
        }
        sprite.setTexture(texture, true);
        ready = true;
    }

    // Times one floor frame and keeps the time.
    void time() {
        if (!ready) {
            return;
        }
        const auto start = Clock::now();
        window.draw(sprite);
        window.display();
        times.push_back(millisecondsSince(start));
    }

    // Median of the frames timed so far (0 without any).
    double median() const { return percentile(times, 0.5); }
    double percentileOf(double fraction) const { return percentile(times, fraction); }
    std::size_t count() const { return times.size(); }

private:
    sf::RenderWindow& window;
    sf::Texture texture;
    sf::Sprite sprite;
    std::vector<double> times;
    bool ready = false;
};

// One frame of the loop: one fixed step, the update and a draw.
struct FrameSplit {
    double total = 0.0, fixed = 0.0, update = 0.0, draw = 0.0;
    // The main thread's processor time in the fixed steps and in the whole
    // frame: the fixed steps are the main thread's work alone, so where the
    // wall clock runs ahead of it the thread waited for the processor
    // (another thread, or the machine's host, had it); where both grow, the
    // work itself ran slower or was more.
    double fixedCpu = 0.0, totalCpu = 0.0;
    // The main thread's page faults in the frame, and how often the system
    // took the processor from it: what makes a frame slow in every part at once.
    long faults = 0, preempted = 0;
};

struct ThreadUsage {
    long faults = 0, preempted = 0;
};

// Processor time on `clock` (milliseconds): the main thread's own
// (CLOCK_THREAD_CPUTIME_ID) or every thread's of the process, the
// renderer's too (CLOCK_PROCESS_CPUTIME_ID). Unlike the wall clock, it
// hardly depends on what else runs.
double cpuMilliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

ThreadUsage threadUsage() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {usage.ru_minflt + usage.ru_majflt, usage.ru_nivcsw};
}

class FightRun {
public:
    FightRun() {
        game.playerSetup->setComputer(1, true);
        game.playerSetup->setComputer(2, true);
    }

    // The frame loop's body for a frame of exactly one fixed step, in its
    // order, each part timed: the fixed update and the world step, the
    // update, the draw. The draw first shows the frame before, as the loop
    // does when it has no time to spare, so the steps run beside the
    // renderer's work on that frame.
    FrameSplit frame() {
        FrameSplit split;
        const ThreadUsage usageBefore = threadUsage();
        const double cpuStart = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
        const auto start = Clock::now();
        sf::Event event;
        while (game.window.pollEvent(event)) {
        }
        const float step = game.fixedDelta;
        elapsed += step;
        game.sampleInput(step);
        auto& physics = PhysicsManager::instance();
        physics.flushPendingDestructions();
        game.fixedUpdate(step, elapsed);
        physics.stepWorld(step);
        physics.clearForces();
        split.fixed = millisecondsSince(start);
        split.fixedCpu = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        const auto updateStart = Clock::now();
        game.update(step, elapsed);
        split.update = millisecondsSince(updateStart);
        const auto drawStart = Clock::now();
        game.draw(step, elapsed);
        split.draw = millisecondsSince(drawStart);
        split.total = millisecondsSince(start);
        split.totalCpu = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        const ThreadUsage usageAfter = threadUsage();
        split.faults = usageAfter.faults - usageBefore.faults;
        split.preempted = usageAfter.preempted - usageBefore.preempted;
        return split;
    }

    // Clicks the widget of the page as the mouse would; false when there is none.
    static bool click(const char* page, const std::string& name) {
        const auto widget = GuiManager::instance().getWidget<widgets::Widget>(page, name);
        if (!widget) {
            std::printf("The page %s has no button %s\n", page, name.c_str());
            return false;
        }
        const sf::FloatRect rect = widget->getAbsoluteRect();
        const int x = static_cast<int>(rect.left + rect.width / 2);
        const int y = static_cast<int>(rect.top + rect.height / 2);
        sf::Event event;
        event.type = sf::Event::MouseMoved;
        event.mouseMove = {x, y};
        GuiManager::instance().handleEvent(event);
        event.type = sf::Event::MouseButtonPressed;
        event.mouseButton = {sf::Mouse::Left, x, y};
        GuiManager::instance().handleEvent(event);
        event.type = sf::Event::MouseButtonReleased;
        GuiManager::instance().handleEvent(event);
        return true;
    }

    // Presses the menu's start button, then the arena page's button of
    // `arena`, as the mouse would; the time from the second press to the end
    // of the first drawn arena frame.
    double enterArena(const std::string& arena) {
        if (!click("menu", "StartGame")) {
            return -1.0;
        }
        const auto start = Clock::now();
        if (!click("mArena", arenaButtonName(arena))) {
            return -1.0;
        }
        // The switch waits for the end of the frame's update; its draw is the first arena frame.
        for (int i = 0; i < 5 && currentState() != "Arena"; ++i) {
            frame();
        }
        return currentState() == "Arena" ? millisecondsSince(start) : -1.0;
    }

    // Mean time of a few draws of the current scene.
    double drawMilliseconds(int count = 12) {
        std::vector<double> values;
        for (int i = 0; i < count; ++i) {
            const auto start = Clock::now();
            game.draw(game.fixedDelta, elapsed);
            values.push_back(millisecondsSince(start));
        }
        return percentile(values, 0.5);
    }

    // Where the drawing goes: the draw's time with each kind of renderable
    // left out in turn, against the whole draw and a draw of nothing but
    // the frame's own passes (clears, copies, GUI).
    void printDrawingShares() {
        std::map<std::string, std::vector<std::shared_ptr<RenderableComponent>>> kinds;
        for (const auto& entry : RenderManager::instance().renderables) {
            if (auto renderable = entry.lock(); renderable && renderable->enabled) {
                int status = 0;
                char* name = abi::__cxa_demangle(typeid(*renderable).name(), nullptr, nullptr, &status);
                kinds[status == 0 && name ? name : typeid(*renderable).name()].push_back(renderable);
                std::free(name);
            }
        }
        const auto setEnabled = [](const std::vector<std::shared_ptr<RenderableComponent>>& list,
                                   bool value) {
            for (const auto& renderable : list) {
                renderable->enabled = value;
            }
        };
        const double whole = drawMilliseconds();
        std::printf("drawing, whole scene         %8.2f ms\n", whole);
        for (const auto& [name, list] : kinds) {
            setEnabled(list, false);
            const double without = drawMilliseconds();
            setEnabled(list, true);
            std::printf("  %-26s %8.2f ms  (%zu of them)\n", name.c_str(), whole - without, list.size());
        }
        // Each tile layer on its own: they differ in how much of the view they cover.
        for (const auto& renderable : kinds["LayerRenderComponent"]) {
            auto layer = std::static_pointer_cast<LayerRenderComponent>(renderable);
            layer->enabled = false;
            const double without = drawMilliseconds();
            layer->enabled = true;
            const auto& tiles = layer->tileMapLayer;
            std::printf("    layer %-20s %8.2f ms\n",
                        tiles && tiles->layer ? tiles->layer->name.c_str() : "?", whole - without);
        }
        for (const auto& kind : kinds) {
            setEnabled(kind.second, false);
        }
        std::printf("  frame passes alone         %8.2f ms\n", drawMilliseconds());
        for (const auto& kind : kinds) {
            setEnabled(kind.second, true);
        }
    }

    static std::string currentState() {
        const auto& state = StateManager::instance().currentState;
        return state ? state->name : "";
    }

    VorluneGame game;
    float elapsed = 0.0f;
};
} // namespace

int main(int argc, char** argv) {
    const int fightFrames = argc > 1 ? std::max(60, std::atoi(argv[1])) : 900;
    const std::string arena = argc > 2 ? argv[2] : arenas().front().key;
    if (!isArenaChoice(arena) || arena == randomArenaKey()) {
        std::printf("bench_Fight: no arena '%s' (%s)\n", arena.c_str(), arenaChoicesText().c_str());
        return 2;
    }
    // Without an audio device every sound call reports a failure, and the
    // reports would be timed with the frames.
    setenv("ALSOFT_DRIVERS", "null", 0);
    const auto programStart = Clock::now();
    FightRun run;
    run.game.options.noDraw = false;
    // The timed match plays on the default rules, whatever the user's settings say.
    char settingsFolder[] = "/tmp/vorlune-bench-settings-XXXXXX";
    if (!mkdtemp(settingsFolder)) {
        return 1;
    }
    run.game.options.configPath = settingsFolder;
    if (!run.game.init()) {
        return 1;
    }
    run.frame();
    run.frame();
    const double toMenu = millisecondsSince(programStart);

    // The floor is timed at the start and then between fight frames, so that
    // both meet the same load on a shared machine.
    FloorFrame floorFrame(run.game.window);
    run.game.presentFrame();
    for (int i = 0; i < 70; ++i) {
        floorFrame.time();
    }
    const double startFloor = floorFrame.median();

    std::vector<double> menuFrames;
    for (int i = 0; i < 60; ++i) {
        menuFrames.push_back(run.frame().total);
    }

    const double firstEntry = run.enterArena(arena);
    for (int i = 0; i < 60; ++i) {
        run.frame();
    }
    StateManager::instance().setState("Menu");
    for (int i = 0; i < 30; ++i) {
        run.frame();
    }
    const double secondEntry = run.enterArena(arena);
    // From here on the peak is the match's own: start-up and the first
    // arena entry hold the character atlases and the frames made from them
    // at once, which a match no longer does.
    const long peakBeforeMatchKb = peakResidentKilobytes();
    std::ofstream("/proc/self/clear_refs") << "5";

    // Beards grow twenty times as fast as in play, so they reach 80 segments soon
    // and stay near it after cuts; no one runs out of lives.
    for (const auto& player : arenaPlayers()) {
        player->tuning.growInterval = 0.05f;
        PlayerState endless = player->state();
        endless.unlimitedLives = true;
        player->restoreState(endless);
    }
    for (int i = 0; i < 60 * 9 && run.currentState() == "Arena"; ++i) {
        run.frame();
    }

    const MachineTime machineBefore = machineTime();
    const double processBefore = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    std::vector<double> totals, fixed, update, draw, faults, preempted, fixedCpu, totalCpu;
    // Frame times by the camera's zoom (view width over window width): a
    // zoomed-out camera shows more of the map, scaled down.
    std::map<int, std::vector<double>> byZoom;
    std::map<int, std::vector<double>> bySegments;
    // The fixed steps' and the drawing's times by the same buckets.
    std::map<int, std::vector<double>> fixedBySegments, drawBySegments;
    double segmentSum = 0.0;
    for (int i = 0; i < fightFrames && run.currentState() == "Arena"; ++i) {
        FrameSplit split = run.frame();
        if (i % 4 == 0) {
            // The frame is shown before the floor draws over it; the wait
            // for it is the frame's own.
            const auto presentStart = Clock::now();
            run.game.presentFrame();
            const double presenting = millisecondsSince(presentStart);
            split.total += presenting;
            split.draw += presenting;
            floorFrame.time();
        }
        totals.push_back(split.total);
        if (auto camera = RenderManager::instance().mainCamera.lock()) {
            const float zoom =
                camera->getView()->getSize().x / static_cast<float>(run.game.window.getSize().x);
            byZoom[zoom < 0.9f ? 0 : zoom < 1.1f ? 1 : 2].push_back(split.total);
        }
        int segments = 0;
        for (const auto& player : arenaPlayers()) {
            segments += player->beard().segmentCount();
        }
        bySegments[segments / 40].push_back(split.total);
        fixedBySegments[segments / 40].push_back(split.fixed);
        drawBySegments[segments / 40].push_back(split.draw);
        fixed.push_back(split.fixed);
        update.push_back(split.update);
        draw.push_back(split.draw);
        fixedCpu.push_back(split.fixedCpu);
        totalCpu.push_back(split.totalCpu);
        faults.push_back(static_cast<double>(split.faults));
        preempted.push_back(static_cast<double>(split.preempted));
        for (const auto& player : arenaPlayers()) {
            segmentSum += player->beard().segmentCount();
        }
    }
    const MachineTime machineAfter = machineTime();
    const double processSpent = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - processBefore;
    const long peakKb = peakResidentKilobytes();
    const long endKb = residentKilobytes();
    const struct mallinfo2 heap = mallinfo2();
    size_t slowestFrame = 0;
    for (size_t i = 0; i < totals.size(); ++i) {
        slowestFrame = totals[i] > totals[slowestFrame] ? i : slowestFrame;
    }

    const double floor = floorFrame.median();
    const auto ratio = [floor](double value) { return floor > 0.0 ? value / floor : 0.0; };
    std::printf("\nload average (1 min)        %8.2f\n", loadAverage());
    std::printf("floor (opaque quad+display) %8.2f ms  (%zu frames; %.2f ms before the fight)\n", floor,
                floorFrame.count(), startFloor);
    // The floor's own spread shows how steady the machine was during the run.
    std::printf("floor p95, p99, max         %8.2f x, %.2f x, %.2f x its p50\n",
                ratio(floorFrame.percentileOf(0.95)), ratio(floorFrame.percentileOf(0.99)),
                ratio(floorFrame.percentileOf(1.0)));
    const long long machineTicks = machineAfter.total - machineBefore.total;
    std::printf("processor time the host kept %7.1f %% during the fight\n",
                machineTicks > 0 ? 100.0 * static_cast<double>(machineAfter.stolen - machineBefore.stolen) /
                                       static_cast<double>(machineTicks)
                                 : 0.0);
    std::printf("start to first menu frame   %8.1f ms\n", toMenu);
    std::printf("menu frame p50              %8.2f ms  %6.2f x floor\n", percentile(menuFrames, 0.5),
                ratio(percentile(menuFrames, 0.5)));
    // The menu makes the players' frames meanwhile: its slowest frame shows
    // whether that holds a frame up.
    const auto slowestMenuFrame = std::max_element(menuFrames.begin(), menuFrames.end());
    std::printf("menu frame max              %8.2f ms  %6.2f x floor  (frame %d of %zu)\n",
                percentile(menuFrames, 1.0), ratio(percentile(menuFrames, 1.0)),
                static_cast<int>(slowestMenuFrame - menuFrames.begin()) + 1, menuFrames.size());
    const double menuMedian = percentile(menuFrames, 0.5);
    std::printf("menu frames over 2 x its p50 %7zu\n",
                static_cast<size_t>(std::count_if(menuFrames.begin(), menuFrames.end(),
                                                  [&](double time) { return time > 2.0 * menuMedian; })));
    std::printf("arena                       %s\n", arena.c_str());
    std::printf("arena entry, first match    %8.1f ms\n", firstEntry);
    std::printf("arena entry, second match   %8.1f ms\n", secondEntry);
    std::printf("fight frames timed          %8zu (mean beard %.1f segments)\n", totals.size(),
                totals.empty() ? 0.0 : segmentSum / (2.0 * static_cast<double>(totals.size())));
    for (const auto& [name, fraction] : std::vector<std::pair<const char*, double>>{
             {"p50", 0.5}, {"p95", 0.95}, {"p99", 0.99}, {"max", 1.0}}) {
        const double value = percentile(totals, fraction);
        std::printf("fight frame %-4s            %8.2f ms  %6.2f x floor\n", name, value, ratio(value));
    }
    std::printf("slowest fight frame         frame %zu of %zu\n", slowestFrame + 1, totals.size());
    std::printf("processor time per frame    %8.2f ms, all of the process's threads\n",
                totals.empty() ? 0.0 : processSpent / static_cast<double>(totals.size()));
    const double total = mean(totals);
    for (const auto& [name, part] : std::vector<std::pair<const char*, const std::vector<double>*>>{
             {"fixed steps", &fixed}, {"update", &update}, {"drawing", &draw}}) {
        const double value = mean(*part);
        std::printf("fight %-12s mean        %8.2f ms  %5.1f %% of the frame\n", name, value,
                    total > 0.0 ? 100.0 * value / total : 0.0);
    }
    // The slowest twentieth of the frames: which part made them slow.
    const double slow = percentile(totals, 0.95);
    double slowFixed = 0.0, slowUpdate = 0.0, slowDraw = 0.0, slowFaults = 0.0, slowPreempted = 0.0;
    double slowFixedCpu = 0.0, slowTotalCpu = 0.0, slowTotal = 0.0;
    int slowCount = 0;
    for (size_t i = 0; i < totals.size(); ++i) {
        if (totals[i] >= slow) {
            slowFixed += fixed[i];
            slowUpdate += update[i];
            slowDraw += draw[i];
            slowFaults += faults[i];
            slowFixedCpu += fixedCpu[i];
            slowTotalCpu += totalCpu[i];
            slowTotal += totals[i];
            slowPreempted += preempted[i];
            ++slowCount;
        }
    }
    if (slowCount > 0) {
        std::printf("slowest 5 %% of frames, mean  fixed %.2f ms, update %.2f ms, drawing %.2f ms\n",
                    slowFixed / slowCount, slowUpdate / slowCount, slowDraw / slowCount);
        std::printf("  page faults %.1f, preempted %.2f times   (every frame: %.1f, %.2f)\n",
                    slowFaults / slowCount, slowPreempted / slowCount, mean(faults), mean(preempted));
        std::printf("  main thread's processor time: fixed %.2f of %.2f ms, frame %.2f of %.2f ms\n",
                    slowFixedCpu / slowCount, slowFixed / slowCount, slowTotalCpu / slowCount,
                    slowTotal / slowCount);
        std::printf("  every frame:                  fixed %.2f of %.2f ms, frame %.2f of %.2f ms\n",
                    mean(fixedCpu), mean(fixed), mean(totalCpu), total);
    }
    for (const auto& [bucket, times] : byZoom) {
        static const char* const names[] = {"below 0.9", "0.9 to 1.1", "above 1.1"};
        std::printf("  zoom %-10s %4zu frames   p50 %6.2f x floor  p99 %6.2f x floor\n", names[bucket],
                    times.size(), ratio(percentile(times, 0.5)), ratio(percentile(times, 0.99)));
    }
    for (const auto& [bucket, times] : bySegments) {
        std::printf("  segments %3d-%-3d %4zu frames   p50 %6.2f x floor  p99 %6.2f x floor"
                    "  (means: fixed %.2f ms, drawing %.2f ms)\n",
                    bucket * 40, bucket * 40 + 39, times.size(), ratio(percentile(times, 0.5)),
                    ratio(percentile(times, 0.99)), mean(fixedBySegments[bucket]),
                    mean(drawBySegments[bucket]));
    }
    std::printf("peak resident memory        %8.1f MiB in the match, %.1f MiB before it\n", peakKb / 1024.0,
                peakBeforeMatchKb / 1024.0);
    std::printf("at the end                  %8.1f MiB resident, %.1f MiB allocated (%.1f MiB of it mapped "
                "apart)\n",
                endKb / 1024.0, static_cast<double>(heap.uordblks + heap.hblkhd) / 1048576.0,
                static_cast<double>(heap.hblkhd) / 1048576.0);
    if (run.currentState() == "Arena") {
        run.printDrawingShares();
    }
    return 0;
}
