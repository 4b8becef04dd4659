#include "widgets/ProblemReport.hpp"

#include <cstdio>
#include <utility>

namespace widgets {

namespace {
ProblemSink& sink() {
    static ProblemSink installed;
    return installed;
}
} // namespace

void setProblemSink(ProblemSink replacement) {
    sink() = std::move(replacement);
}

void reportProblem(const std::string& line) {
    if (sink()) {
        sink()(line);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

} // namespace widgets
