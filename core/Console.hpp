#pragma once

#include <cstdio>
#include <string>

// One of the program's text streams as all of its writers share it. Standard
// output carries the program's results: one line that is rewritten in place
// (the frame-rate line on a terminal) and whole lines (figures, the online
// match's end, the soak's counts). Standard error carries the problems
// (reports of content problems, a bad command line with the usage line).
// A line rewritten in place has no end yet; whatever writes whole lines ends
// it first, so nothing is glued onto it, and the next rewrite starts on the
// fresh line. The two streams usually share one terminal, so standard error's
// console ends standard output's open line before it writes too. Every write
// is flushed at once, so lines come out in the order they were written
// whatever the buffering of `out`.
class Console {
public:
    // `out` is observed and must outlive the console. `sharesScreenWith`, when
    // given, is a console whose open line is ended before this one writes a
    // line (the two may show on one terminal); it must outlive this one.
    explicit Console(std::FILE* out, Console* sharesScreenWith = nullptr);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // The console on standard output, made on first use; every part of the
    // program that writes to standard output goes through it.
    static Console& standardOutput();
    // The console on standard error, made on first use, sharing the screen
    // with standard output's; every report of a problem goes through it.
    static Console& standardError();

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
    Console* sharesScreenWith;
    bool lineOpen = false;
};
