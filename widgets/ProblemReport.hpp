#pragma once

#include <functional>
#include <string>

namespace widgets {

// Where the widget library reports a problem with its content (a font or an
// image that cannot be loaded). The library stands alone, so it only offers
// this hook: a program that has its own way of reporting problems sets the
// sink once at start-up, and without one each problem is printed as a line
// on standard error.

// Receives one problem as one line of text, without its line end.
using ProblemSink = std::function<void(const std::string& line)>;

// Every later problem goes to `sink`; an empty sink brings back standard error.
void setProblemSink(ProblemSink sink);

// Reports one problem through the sink.
void reportProblem(const std::string& line);

} // namespace widgets
