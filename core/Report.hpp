#pragma once

#include <string>

class Console;

// Content and I/O problems (a missing texture, a malformed map, a bad command
// line) are reported on standard error as one line that names the file or
// object concerned, and loading goes on where it can; standard output keeps
// the program's results. A report always starts a line of its own: an open
// frame-rate line on standard output is ended first (see Console). Problems
// that are programming errors are assertions instead.

#if defined(__GNUC__)
#define VORLUNE_PRINTF_FORMAT(formatIndex, firstArgument)                                                    \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VORLUNE_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// Reports one problem, formatted like printf; the line end is added here.
// Line breaks inside the text (an exception's message, a file name) are
// written as visible escapes, so one report is always exactly one line.
void reportProblem(const char* format, ...) VORLUNE_PRINTF_FORMAT(1, 2);
// The same on `console` instead of standard error.
void reportProblem(Console& console, const char* format, ...) VORLUNE_PRINTF_FORMAT(2, 3);

// A problem whose detail stands on the line under its headline: the layout
// of the loaders' "Loading failed:" and "... is not a valid tilemap." reports.
// Each of the two parts is kept to one line as above.
void reportProblemWithDetail(const std::string& headline, const std::string& detail);
void reportProblemWithDetail(Console& console, const std::string& headline, const std::string& detail);

// `text` as one line: line ends at its end are dropped, a line break or
// another control character inside it (a tab excepted) is written as an
// escape ("\n", "\r", "\x1b"), so what it said can still be read.
std::string asOneLine(const std::string& text);
