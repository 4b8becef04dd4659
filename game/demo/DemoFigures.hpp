#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/Game.hpp"

// What a demo run measures: wall-clock times of start-up (from before `main`), the wall time of
// every frame of the fight, peak resident memory and the peak sizes of the
// scene. Only measures: nothing here feeds back into the simulation.
class DemoFigures {
public:
    DemoFigures();

    void firstMenuFrame();
    // The arena page's button was pressed (the last press before the arena counts).
    void startPressed();
    void arenaEntered();
    // One frame of the fight: its wall time since the last call, and
    // `previous`, the loop's costs of the frame that just ended.
    void fightFrame(const FrameCosts& previous);
    // A screenshot was saved in this frame: the next `fightFrame`, whose
    // times would count the picture's encoding, is left out.
    void leaveOutNextFrame() { leavingOut = true; }
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
    bool leavingOut = false;
    double toFirstMenu = -1.0;
    double toArena = -1.0;
    Clock::time_point pressed;
    bool wasPressed = false;
    double pressToArena = -1.0;
    std::vector<double> frameTimes;
    // Seconds per fight frame in the loop's fixed steps, update and drawing.
    std::vector<double> fixedTimes, updateTimes, drawTimes;
    size_t peakObjects = 0;
    size_t peakBodies = 0;
    size_t peakJoints = 0;
    size_t peakParticles = 0;
    long peakResidentKb = 0;
    int matchWinner = 0;
};
