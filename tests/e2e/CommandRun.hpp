#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

// A shell command run to its end with its standard output and error read
// together: how the cases that start the executable from build/ see it.
struct CommandOutcome {
    // The exit code, or 128 + the signal that ended it; -1 when it could not start.
    int status = -1;
    std::string output;
};

inline CommandOutcome runCommand(const std::string& command) {
    CommandOutcome outcome;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        return outcome;
    }
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe)) {
        outcome.output += buffer.data();
    }
    const int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return outcome;
}

inline int lineCount(const std::string& text) {
    int lines = 0;
    for (const char c : text) {
        lines += c == '\n';
    }
    return lines;
}
