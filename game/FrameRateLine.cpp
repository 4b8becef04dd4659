#include "game/FrameRateLine.hpp"

#include <chrono>
#include <string>

#include <unistd.h>

#include "core/Console.hpp"

namespace {
double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string rateText(const char* format, double rate) {
    // Room for the longest rate a float delta can give (1 / 1.4e-45 has 45 digits).
    char text[128];
    std::snprintf(text, sizeof text, format, rate);
    return text;
}
} // namespace

FrameRateLine::FrameRateLine()
    : FrameRateLine(Console::standardOutput(), isatty(fileno(stdout)) == 1, steadySeconds) {}

FrameRateLine::FrameRateLine(std::FILE* out, bool terminal, Clock clock)
    : ownConsole(std::make_unique<Console>(out)), console(*ownConsole), terminal(terminal),
      clock(std::move(clock)) {}

FrameRateLine::FrameRateLine(Console& console, bool terminal, Clock clock)
    : console(console), terminal(terminal), clock(std::move(clock)) {}

FrameRateLine::~FrameRateLine() {
    if (terminal) {
        console.endLine();
    }
}

void FrameRateLine::frame(float delta) {
    if (terminal) {
        if (delta > 0.0f) {
            // The blanks wipe what a longer rate left of the previous line.
            console.rewriteLine(rateText("FPS %f           ", 1.0 / delta));
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
        console.writeLines(rateText("FPS %f", frames / frameTime));
    }
    lastLine = now;
    frames = 0;
    frameTime = 0.0;
}
