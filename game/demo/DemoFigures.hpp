#pragma once

#include <chrono>
#include <string>
#include <vector>

// What a demo run measures: wall-clock times of start-up (from before `main`), the wall time of
// every frame of the fight, peak resident memory and the peak sizes of the
// scene. Only measures: nothing here feeds back into the simulation.
class DemoFigures {
public:
    DemoFigures();

    void firstMenuFrame();
    void arenaEntered();
    // One frame of the fight: its wall time since the last call (seconds).
    void fightFrame();
    // Samples the scene's counts and the process's resident memory.
    void sampleCounts();
    // The number of the player who won the match (0 until then).
    void matchWon(int winner) { matchWinner = winner; }

    // The figures as lines of "name value unit".
    std::string report() const;

private:
    using Clock = std::chrono::steady_clock;
    static double secondsBetween(Clock::time_point from, Clock::time_point to);

    Clock::time_point start;
    Clock::time_point lastFightFrame;
    bool fightStarted = false;
    double toFirstMenu = -1.0;
    double toArena = -1.0;
    std::vector<double> frameTimes;
    size_t peakObjects = 0;
    size_t peakBodies = 0;
    size_t peakJoints = 0;
    size_t peakParticles = 0;
    long peakResidentKb = 0;
    int matchWinner = 0;
};
