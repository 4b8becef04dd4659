#include "game/FrameRateLine.hpp"

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace {
// Everything written to the temporary file so far.
std::string contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    return text;
}
} // namespace

TEST(FrameRateLine, TerminalLineIsRewrittenEveryFrameAndSkipsFramesWithoutTime) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    {
        FrameRateLine line(out, true, [] { return 0.0; });
        line.frame(0.015625f);
        line.frame(0.0f);
        line.frame(0.03125f);
        EXPECT_EQ(contents(out), "\rFPS 64.000000           \rFPS 32.000000           ");
    }
    // The game's end closes the line.
    EXPECT_EQ(contents(out), "\rFPS 64.000000           \rFPS 32.000000           \n");
    std::fclose(out);
}

TEST(FrameRateLine, LogGetsOneLinePerSecondWithTheAverageRate) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    double now = 0.0;
    FrameRateLine line(out, false, [&] { return now; });
    // 2.5 s of real time at 64 frames per second.
    for (int i = 0; i < 160; ++i) {
        now += 0.015625;
        line.frame(0.015625f);
    }
    EXPECT_EQ(contents(out), "FPS 64.000000\nFPS 64.000000\n");
    std::fclose(out);
}
