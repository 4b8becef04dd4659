#pragma once

#include <cstdio>
#include <string>

// The program's text output as all of its writers share it: one line that is
// rewritten in place (the frame-rate line on a terminal), reports of content
// problems, and the program's own output (usage, figures). A line rewritten
// in place has no end yet; whatever writes whole lines ends it first, so
// nothing is glued onto it, and the next rewrite starts on the fresh line.
// Every write is flushed at once, so lines come out in the order they were
// written whatever the buffering of `out`.
class Console {
public:
    // `out` is observed and must outlive the console.
    explicit Console(std::FILE* out);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // The console on standard output, made on first use; every part of the
    // program that writes to standard output goes through it.
    static Console& standardOutput();

    // Replaces the open line with `text` (a carriage return, then `text`,
    // no line end) and leaves it open.
    void rewriteLine(const std::string& text);
    // Ends the open line, if there is one; otherwise writes nothing.
    void endLine();
    // Writes `text` as whole lines, after ending the open line; a text that
    // does not end with a line end is given one.
    void writeLines(const std::string& text);

    // A rewritten line is waiting for its end.
    bool hasOpenLine() const { return lineOpen; }

private:
    std::FILE* out;
    bool lineOpen = false;
};
