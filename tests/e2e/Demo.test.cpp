// The demo as a user runs it: the built executable, its own X server, no
// input at all; it must play a whole match and end by itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <SFML/Graphics/Image.hpp>

#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "e2e/GameProcess.hpp"

TEST(Demo, FastDemoPlaysAWholeMatchSavesItsShotsAndFiguresAndExitsZero) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    const std::filesystem::path shots = testOutputPath("demo-shots/menu.png");
    const std::filesystem::path folder = shots.parent_path();
    std::filesystem::remove_all(folder);
    const std::string output = testOutputPath("demo-output.txt");

    e2e::GameProcess game({"ALSOFT_DRIVERS=null"}, {}, output,
                          {"--demo", "--fast", "--no-draw", "--shots", folder.string()});
    ASSERT_TRUE(game.started);
    const auto status = game.waitForExit(std::chrono::seconds(100));
    ASSERT_TRUE(status) << "the demo did not end";
    ASSERT_TRUE(WIFEXITED(*status)) << "the demo ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 0) << readWholeFile(output);

    // Every fixed moment was shot, at the window's size, and not blank.
    for (const char* name : {"menu", "match-start", "mid-fight", "cut", "victory"}) {
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile((folder / (std::string(name) + ".png")).string())) << name;
        EXPECT_EQ(image.getSize(), sf::Vector2u(1920, 1080)) << name;
        EXPECT_NE(image.getPixel(100, 100), image.getPixel(960, 540)) << name << " looks blank";
    }
    // The figures file and the end of standard output give the same figures.
    const std::string figures = readWholeFile((folder / "figures.txt").string());
    for (const char* line :
         {"time to first menu frame", "time to enter the arena", "frame time p50", "frame time p95",
          "frame time p99", "frame time max", "arena entry after press", "fight fixed steps mean",
          "fight update mean", "fight drawing mean", "peak resident memory", "peak game objects",
          "peak bodies", "peak joints", "peak particles"}) {
        EXPECT_NE(figures.find(line), std::string::npos) << line;
    }
    EXPECT_NE(readWholeFile(output).find(figures), std::string::npos);
}

namespace {
// Runs the executable with `arguments` to its end; its standard output.
std::string runToEnd(const std::vector<std::string>& arguments, const std::string& outputName) {
    const std::string output = testOutputPath(outputName);
    e2e::GameProcess game({"ALSOFT_DRIVERS=null"}, {}, output, arguments);
    EXPECT_TRUE(game.started);
    const auto status = game.waitForExit(std::chrono::seconds(50));
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << readWholeFile(output);
    return readWholeFile(output);
}

// The figure of that name from a demo's output, as printed.
std::string figure(const std::string& output, const std::string& name) {
    const size_t at = output.rfind(name);
    return at == std::string::npos ? "" : output.substr(at, output.find('\n', at) - at);
}
} // namespace

TEST(Demo, ARecordedDemoReplaysToTheSameWinnerInTheSameFrames) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    const std::string recording = testOutputPath("demo-replay/demo.rec");
    const std::string recorded =
        runToEnd({"--demo", "--fast", "--no-draw", "--record", recording}, "demo-replay/recorded.txt");
    // Played back, the computer players' keys count for nothing: the match is
    // the recorded one, frame for frame.
    const std::string replayed =
        runToEnd({"--demo", "--fast", "--no-draw", "--replay", recording}, "demo-replay/replayed.txt");
    for (const char* name : {"winner", "fight frames"}) {
        EXPECT_NE(figure(recorded, name), "") << name;
        EXPECT_EQ(figure(replayed, name), figure(recorded, name));
    }
    const std::string winner = figure(recorded, "winner");
    ASSERT_FALSE(winner.empty());
    EXPECT_TRUE(winner.back() == '1' || winner.back() == '2') << winner;
}

TEST(Demo, ABadPlayerChoiceIsRefusedWithOneLineAndStatusTwo) {
    e2e::Launch launch =
        e2e::GameProcess::launchOf({}, {}, testOutputPath("demo-bad-option.txt"), {"--player2", "robot"});
    launch.errorPath = testOutputPath("demo-bad-option-errors.txt");
    e2e::GameProcess game(launch);
    ASSERT_TRUE(game.started);
    const auto status = game.waitForExit(std::chrono::seconds(20));
    ASSERT_TRUE(status && WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 2);
    // A problem: on standard error, nothing on standard output.
    EXPECT_NE(readWholeFile(launch.errorPath).find("option --player2 needs 'person' or 'computer'"),
              std::string::npos);
    EXPECT_EQ(readWholeFile(launch.outputPath), "");
}
