#pragma once

#include <cstdio>
#include <functional>
#include <memory>

class Console;

// The game's frame-rate line on standard output. On a terminal one line is
// rewritten in place every frame ("\rFPS <rate>" and blanks that wipe the
// rest of the previous line). Anywhere else (a pipe, a log file) a line per
// frame would only fill the log, so at most one plain line per second of
// real time is written, with the average rate of the frames since the last one.
// It writes through a Console, so a report written between two frames ends
// the open line and the next frame starts a line of its own below it.
class FrameRateLine {
public:
    // Seconds on a steady clock; only used to space the lines of a log.
    using Clock = std::function<double()>;

    // Writes to standard output's console, in place when it is a terminal.
    FrameRateLine();
    // Writes to `out` through a console of its own; `out` is observed and
    // must outlive this object.
    FrameRateLine(std::FILE* out, bool terminal, Clock clock);
    // Writes through `console`, which is observed and must outlive this object.
    FrameRateLine(Console& console, bool terminal, Clock clock);
    // Ends the line on a terminal, so that whatever comes next (the shell's
    // prompt) starts on a line of its own.
    ~FrameRateLine();
    FrameRateLine(const FrameRateLine&) = delete;
    FrameRateLine& operator=(const FrameRateLine&) = delete;

    // One frame of `delta` seconds. A frame of no time has no rate: on a
    // terminal it leaves the line as it is, in a log it only counts.
    void frame(float delta);

private:
    std::unique_ptr<Console> ownConsole;
    Console& console;
    bool terminal;
    Clock clock;
    double lastLine = 0.0;
    // The log's first frame has been seen.
    bool started = false;
    int frames = 0;
    double frameTime = 0.0;
};
