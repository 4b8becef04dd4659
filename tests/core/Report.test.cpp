#include "core/Report.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "common/TextFiles.hpp"
#include "core/Console.hpp"

TEST(Report, ReasonsAndNamesSpanningLinesAreWrittenOnTheReportsOwnLine) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    Console console(out);
    // An exception's text of several lines (with the line end it came with)
    // and a file name with a line break and a terminal escape in it.
    const std::string reason = "line 3: unknown element\r\nline 9: unclosed tag\n";
    reportProblem(console, "Map %s: tileset file %s cannot be read: %s", "../assets/tilemap/zefMap.tmx",
                  "odd\nname\x1b[2J.tsx", reason.c_str());
    // The two-line layout keeps its two lines, each part on one.
    reportProblemWithDetail(console, "Loading failed:", "idle.xml: first problem\nsecond problem\n");

    const std::string written = writtenSoFar(out);
    EXPECT_EQ(written,
              "Map ../assets/tilemap/zefMap.tmx: tileset file odd\\nname\\x1b[2J.tsx cannot be read: "
              "line 3: unknown element\\r\\nline 9: unclosed tag\n"
              "Loading failed:\nidle.xml: first problem\\nsecond problem\n");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3);
    EXPECT_EQ(written.find('\r'), std::string::npos);
    std::fclose(out);
}

TEST(Report, ProblemsGoToStandardErrorAndEndTheFrameRateLineOfTheTerminalBothShare) {
    // Both streams on one terminal: the results' console with its open line,
    // and the problems' console sharing the screen with it.
    std::FILE* terminal = std::tmpfile();
    ASSERT_TRUE(terminal);
    Console results(terminal);
    Console problems(terminal, &results);
    results.rewriteLine("FPS 60");
    reportProblem(problems, "Couldn't load texture %s", "spark.png");
    results.rewriteLine("FPS 30");
    reportProblem(problems, "Couldn't load texture %s", "smoke.png");
    reportProblem(problems, "Couldn't load texture %s", "dust.png");
    results.endLine();
    EXPECT_EQ(writtenSoFar(terminal), "\rFPS 60\nCouldn't load texture spark.png\n\rFPS 30\n"
                                      "Couldn't load texture smoke.png\nCouldn't load texture dust.png\n");
    std::fclose(terminal);

    // The program's own consoles: a report reaches standard error only.
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    reportProblem("Couldn't load texture %s", "spark.png");
    reportProblemWithDetail("Loading failed:", "idle.xml: cut short");
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(errors, "Couldn't load texture spark.png\nLoading failed:\nidle.xml: cut short\n");
    EXPECT_EQ(output, "");
}
