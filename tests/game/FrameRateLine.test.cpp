#include "game/FrameRateLine.hpp"

#include <cstdio>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "app/Engine.hpp"
#include "common/MapFixtures.hpp"
#include "common/TextFiles.hpp"
#include "core/Console.hpp"
#include "core/LibraryErrorLog.hpp"
#include "render/AssetManager.hpp"
#include "widgets/ResourceCache.hpp"

TEST(FrameRateLine, TerminalLineIsRewrittenEveryFrameAndSkipsFramesWithoutTime) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    {
        FrameRateLine line(out, true, [] { return 0.0; });
        line.frame(0.015625f);
        line.frame(0.0f);
        line.frame(0.03125f);
        EXPECT_EQ(writtenSoFar(out), "\rFPS 64.000000           \rFPS 32.000000           ");
    }
    // The game's end closes the line.
    EXPECT_EQ(writtenSoFar(out), "\rFPS 64.000000           \rFPS 32.000000           \n");
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
    EXPECT_EQ(writtenSoFar(out), "FPS 64.000000\nFPS 64.000000\n");
    std::fclose(out);
}

TEST(FrameRateLine, ProblemReportedWhileTheLineIsOpenStandsOnItsOwnLineAndTheLineResumesBelow) {
    // The game's own set-up: the frame-rate line of a terminal on standard
    // output, and the engine's loaders reporting on standard error between two
    // frames, both streams showing on the one terminal.
    connectEngine();
    const std::string texture = "../assets/PNG/vfx/no-such-particle.png";
    const std::string widgetImage = "../assets/gui/no-such-banner.png";
    StdoutCapture output;
    std::fflush(stderr);
    const int errors = dup(STDERR_FILENO);
    ASSERT_GE(errors, 0);
    dup2(STDOUT_FILENO, STDERR_FILENO);
    {
        // The graphics library's own lines go through the log, as in the game.
        const LibraryErrorLog libraryErrors(stderr);
        FrameRateLine line(Console::standardOutput(), true, [] { return 0.0; });
        line.frame(0.015625f);
        widgets::ResourceCache::texture(widgetImage, false);
        AssetManager::instance().loadTexture(texture);
        line.frame(0.03125f);
    }
    std::fflush(stderr);
    dup2(errors, STDERR_FILENO);
    close(errors);
    // Each report, and each line of the graphics library, ends the open line;
    // the next frame rewrites the fresh line below them, and the game's end
    // closes that one.
    const auto failed = [](const std::string& path) {
        return "Failed to load image \"" + path + "\". Reason: Unable to open file\n";
    };
    const std::string expected = std::string("\rFPS 64.000000           \n") + failed(widgetImage) + //
                                 "Couldn't load texture " + widgetImage + "\n" + failed(texture) +   //
                                 "Couldn't load texture " + texture + "\n" +                         //
                                 "\rFPS 32.000000           \n";
    EXPECT_EQ(output.text(), expected);
}
