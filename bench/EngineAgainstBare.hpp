#pragma once

// Shared by the benchmarks that time the engine's fixed step against the same
// bodies and joints stepped in bare Box2D: a reporter that keeps each
// benchmark's CPU time per physics step, and the three-line comparison.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

// Keeps, per benchmark function, its CPU time per physics step in
// microseconds; every iteration of a benchmark runs `stepsPerIteration` steps.
class StepReporter : public benchmark::ConsoleReporter {
public:
    explicit StepReporter(int stepsPerIteration) : stepsPerIteration(stepsPerIteration) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                microsecondsPerStep[run.run_name.function_name] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations) / stepsPerIteration * 1e6;
            }
        }
    }

    // Prints the engine's and bare Box2D's time per step and their ratio,
    // leaving out what did not run (a filter on the command line).
    void printEngineAgainstBare(const std::string& engineName, const std::string& bareName) const {
        const auto engine = microsecondsPerStep.find(engineName);
        const auto bare = microsecondsPerStep.find(bareName);
        if (engine != microsecondsPerStep.end()) {
            std::printf("  engine      %8.1f us\n", engine->second);
        }
        if (bare != microsecondsPerStep.end()) {
            std::printf("  bare Box2D  %8.1f us\n", bare->second);
        }
        if (engine != microsecondsPerStep.end() && bare != microsecondsPerStep.end() && bare->second > 0.0) {
            std::printf("  ratio       %8.2f (engine / bare)\n", engine->second / bare->second);
        }
    }

    std::map<std::string, double> microsecondsPerStep;

private:
    int stepsPerIteration;
};
