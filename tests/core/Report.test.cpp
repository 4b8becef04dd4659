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
