#include "game/FrameRateLine.hpp"

#include <chrono>

#include <unistd.h>

namespace {
double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

FrameRateLine::FrameRateLine() : FrameRateLine(stdout, isatty(fileno(stdout)) == 1, steadySeconds) {}

FrameRateLine::FrameRateLine(std::FILE* out, bool terminal, Clock clock)
    : out(out), terminal(terminal), clock(std::move(clock)) {}

FrameRateLine::~FrameRateLine() {
    if (terminal && started) {
        std::fputc('\n', out);
        std::fflush(out);
    }
}

void FrameRateLine::frame(float delta) {
    if (terminal) {
        if (delta > 0.0f) {
            started = true;
            std::fprintf(out, "\rFPS %f           ", 1.0 / delta);
            // A line without its end stays in the buffer otherwise.
            std::fflush(out);
        }
        return;
    }
    const double now = clock();
    if (!started) {
        started = true;
        lastLine = now;
    }
    ++frames;
    frameTime += delta;
    if (now - lastLine < 1.0) {
        return;
    }
    if (frameTime > 0.0) {
        std::fprintf(out, "FPS %f\n", frames / frameTime);
        std::fflush(out);
    }
    lastLine = now;
    frames = 0;
    frameTime = 0.0;
}
