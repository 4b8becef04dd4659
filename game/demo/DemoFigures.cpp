#include "game/demo/DemoFigures.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "app/SceneCounts.hpp"

namespace {
// Taken while the program's statics are made, before `main`: start-up times
// count from here.
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();

double mean(const std::vector<double>& values) {
    double sum = 0.0;
    for (double value : values) {
        sum += value;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(std::ceil(fraction * values.size())) - 1;
    return values[std::min(index, values.size() - 1)];
}
} // namespace

DemoFigures::DemoFigures() : start(processStart) {}

double DemoFigures::secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void DemoFigures::firstMenuFrame() {
    if (toFirstMenu < 0.0) {
        toFirstMenu = secondsBetween(start, Clock::now());
    }
}

void DemoFigures::startPressed() {
    pressed = Clock::now();
    wasPressed = true;
}

void DemoFigures::arenaEntered() {
    const auto now = Clock::now();
    if (toArena < 0.0) {
        toArena = secondsBetween(start, now);
        pressToArena = wasPressed ? secondsBetween(pressed, now) : -1.0;
    }
}

void DemoFigures::fightFrame(const FrameCosts& previous) {
    const auto now = Clock::now();
    if (fightStarted && !leavingOut) {
        frameTimes.push_back(secondsBetween(lastFightFrame, now));
        fixedTimes.push_back(previous.fixedSteps);
        updateTimes.push_back(previous.update);
        drawTimes.push_back(previous.draw);
    }
    fightStarted = true;
    leavingOut = false;
    lastFightFrame = now;
}

void DemoFigures::sampleCounts() {
    const SceneCounts counts = SceneCounts::take();
    peakObjects = std::max(peakObjects, counts.objects);
    peakBodies = std::max(peakBodies, counts.bodies);
    peakJoints = std::max(peakJoints, counts.joints);
    peakParticles = std::max(peakParticles, counts.particles);
    peakResidentKb = std::max(peakResidentKb, peakResidentKilobytes());
}

std::string DemoFigures::report() const {
    std::ostringstream out;
    char line[160];
    const auto add = [&](const char* name, double value, const char* unit) {
        std::snprintf(line, sizeof line, "%-26s %10.3f %s\n", name, value, unit);
        out << line;
    };
    const auto count = [&](const char* name, size_t value) {
        std::snprintf(line, sizeof line, "%-26s %10zu\n", name, value);
        out << line;
    };
    add("time to first menu frame", toFirstMenu * 1000.0, "ms");
    add("time to enter the arena", toArena * 1000.0, "ms");
    add("arena entry after press", pressToArena * 1000.0, "ms");
    count("winner", static_cast<size_t>(matchWinner));
    count("fight frames", frameTimes.size() + (fightStarted ? 1 : 0));
    add("frame time p50", percentile(frameTimes, 0.50) * 1000.0, "ms");
    add("frame time p95", percentile(frameTimes, 0.95) * 1000.0, "ms");
    add("frame time p99", percentile(frameTimes, 0.99) * 1000.0, "ms");
    add("frame time max", percentile(frameTimes, 1.0) * 1000.0, "ms");
    add("fight fixed steps mean", mean(fixedTimes) * 1000.0, "ms");
    add("fight update mean", mean(updateTimes) * 1000.0, "ms");
    add("fight drawing mean", mean(drawTimes) * 1000.0, "ms");
    add("peak resident memory", peakResidentKb / 1024.0, "MiB");
    count("peak game objects", peakObjects);
    count("peak bodies", peakBodies);
    count("peak joints", peakJoints);
    count("peak particles", peakParticles);
    return out.str();
}
