#pragma once

#include <string>

#include <sys/types.h>

// A virtual X server of the test's own, for tests that move the real pointer
// or hold real keys: other tests running at the same time on the shared
// display neither see those inputs nor disturb them. Starting it points
// DISPLAY at it, so it must be made before anything opens the display. The
// server runs until the test process ends (each test case is a process of
// its own), since the graphics library holds its display connection until exit.
class PrivateDisplay {
public:
    // `screen`: the screen's size, "WIDTHxHEIGHT".
    explicit PrivateDisplay(const std::string& screen = "1920x1080");
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // Whether the server runs; when not, `problem` says why.
    bool isRunning() const { return server > 0; }
    const std::string& getProblem() const { return problem; }

private:
    pid_t server = -1;
    std::string problem;
};
