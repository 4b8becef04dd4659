// Seeking in the replay viewer through a long recorded match: a bot soak of
// 40000 frames (its fourth match, from frame 23938 on, is the last 4.5 minutes),
// recorded in a child process, then watched in a window (run under Xvfb).
//
// Printed: the seek from the start to the end (every frame played undrawn),
// seeks backward and forward inside the last match (from its keyframes),
// the look ahead's pace while paused, and the keyframes' count and bytes with
// the process's peak resident memory.
//
// Usage: bench_ReplaySeek [RECORDING] (default: records replay-seek.rec here).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Game.hpp"
#include "app/ReplayKeyframes.hpp"
#include "app/ReplayViewer.hpp"
#include "core/StateManager.hpp"
#include "game/VorluneGame.hpp"

namespace {
constexpr int soakFrames = 40000;
const sf::Vector2u picture{1920, 1080};

bool record(const std::string& path) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        VorluneGame recorder;
        LaunchOptions options;
        options.fast = true;
        options.noDraw = true;
        options.soakFrames = soakFrames;
        options.recordPath = path;
        const int code = recorder.run(options);
        std::fflush(stdout);
        _exit(code);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double milliseconds(std::chrono::steady_clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

struct Figures {
    std::vector<double> times;
    void add(double ms) { times.push_back(ms); }
    void print(const char* what) const {
        if (times.empty()) {
            return;
        }
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0.0;
        for (double t : sorted) {
            sum += t;
        }
        std::printf("%-34s %3zu seeks: mean %7.1f ms, median %7.1f ms, max %7.1f ms\n", what, sorted.size(),
                    sum / static_cast<double>(sorted.size()), sorted[sorted.size() / 2], sorted.back());
    }
};
} // namespace

int main(int argc, char** argv) {
    std::string recording = argc > 1 ? argv[1] : "replay-seek.rec";
    if (argc <= 1 && !record(recording)) {
        std::fprintf(stderr, "the soak could not be recorded (needs a display: run under Xvfb)\n");
        return 1;
    }
    VorluneGame game;
    game.title = "Vorlune replay seek";
    game.options.replayPath = recording;
    if (!game.init() || !game.startReplay(recording) || !game.openReplayViewer()) {
        std::fprintf(stderr, "no window or no replay\n");
        return 1;
    }
    ReplayViewer& viewer = *game.replayViewer();
    const size_t total = viewer.frameCount();
    const auto deltas = game.makeFrameDeltaSource();
    FrameTimes times;
    const sf::FloatRect track = ReplayViewer::trackArea(picture);
    // One pass with a click on the track at `frame` (as near as a pixel gets): its wall time.
    const auto seekTo = [&](size_t frame) {
        const float x = track.left + track.width * static_cast<float>(frame) / static_cast<float>(total);
        sf::Event click;
        click.type = sf::Event::MouseButtonPressed;
        click.mouseButton = {sf::Mouse::Left, static_cast<int>(x + 0.5f),
                             static_cast<int>(track.top + track.height / 2.0f)};
        viewer.handleEvent(click, picture);
        const auto start = std::chrono::steady_clock::now();
        game.runFrame(times, deltas);
        return milliseconds(std::chrono::steady_clock::now() - start);
    };

    game.runFrame(times, deltas);
    viewer.setPaused(true);
    const double whole = seekTo(total);
    const ReplayKeyframes& keys = *game.replayKeyframes();
    const size_t matchStart = keys.firstFrame();
    std::printf("recording: %zu frames; the last stay (%s) from frame %zu, %.1f s\n", total,
                StateManager::instance().currentName().c_str(), matchStart,
                static_cast<double>(total - matchStart) / 60.0);
    std::printf("seek from the start to the end: %.0f ms (%zu frames undrawn)\n", whole, total);
    std::printf("keyframes: %zu, one every %zu frames, %.1f MiB\n", keys.count(), keys.interval(),
                static_cast<double>(keys.bytes()) / (1024.0 * 1024.0));

    // Seeded targets inside the match, in a fixed order.
    uint32_t lcg = 12345;
    const auto nextIn = [&](size_t from, size_t to) {
        lcg = lcg * 1664525u + 1013904223u;
        return from + (lcg >> 8) % (to - from);
    };
    Figures backward, forward;
    for (int i = 0; i < 40; ++i) {
        const size_t here = game.replayFramesPlayed();
        const size_t target = nextIn(matchStart + 1, total);
        const double ms = seekTo(target);
        (target < here ? backward : forward).add(ms);
    }
    backward.print("backward inside the match:");
    forward.print("forward inside the match:");

    // From a fresh match stay: back to the start drops every keyframe.
    seekTo(0);
    const double again = seekTo(matchStart + 60);
    std::printf("from the start into the match again: %.0f ms\n", again);
    // Paused passes, each looking ahead for a few milliseconds.
    const int lookPasses = 300;
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < lookPasses; ++pass) {
        game.runFrame(times, deltas);
    }
    const double lookMs = milliseconds(std::chrono::steady_clock::now() - start);
    const ReplayKeyframe* furthest = keys.latestAtOrBefore(total, StateManager::instance().entries);
    const size_t reached = furthest ? furthest->frame : 0;
    std::printf("look ahead: %d paused passes (%.1f ms each) reached frame %zu, %.1f frames a pass\n",
                lookPasses, lookMs / lookPasses, reached,
                static_cast<double>(reached - (matchStart + 60)) / lookPasses);
    // Past the furthest keyframe by 10, 20 and 30 s: played from there undrawn.
    Figures beyond;
    const unsigned long stay = StateManager::instance().entries;
    for (size_t i = 1; i <= 3; ++i) {
        const size_t edge = keys.latestAtOrBefore(total, stay)->frame;
        beyond.add(seekTo(std::min(total, edge + 600 * i)));
    }
    Figures scouted;
    for (int i = 0; i < 10; ++i) {
        seekTo(matchStart + 60);
        scouted.add(seekTo(std::max(matchStart + 61, reached - static_cast<size_t>(i) * 37)));
    }
    scouted.print("forward into looked-ahead frames:");
    beyond.print("forward 10/20/30 s past them:");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    game.shutdown();
    return 0;
}
