#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Game.hpp"
#include "app/LaunchOptions.hpp"

namespace {
// Parses the words after the program name.
bool parse(std::vector<const char*> words, LaunchOptions& options, std::string& problem) {
    words.insert(words.begin(), "vorlune");
    return parseLaunchOptions(static_cast<int>(words.size()), words.data(), options, problem);
}
} // namespace

TEST(LaunchOptions, ReadsEveryOptionInAnyOrder) {
    LaunchOptions options;
    std::string problem;
    ASSERT_TRUE(
        parse({"--replay", "in.txt", "--no-draw", "--config", "conf", "--record", "out.txt", "--fast"},
              options, problem))
        << problem;
    EXPECT_EQ(options.configPath, "conf");
    EXPECT_TRUE(options.fast);
    EXPECT_TRUE(options.noDraw);
    EXPECT_EQ(options.recordPath, "out.txt");
    EXPECT_EQ(options.replayPath, "in.txt");

    LaunchOptions none;
    ASSERT_TRUE(parse({}, none, problem));
    EXPECT_FALSE(none.fast);
    EXPECT_FALSE(none.noDraw);
    EXPECT_TRUE(none.recordPath.empty());
    EXPECT_TRUE(none.replayPath.empty());
}

TEST(LaunchOptions, BadCommandLinesNameTheProblemAndChangeNothing) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--fats"}, "unknown option '--fats'"},
        {{"fast"}, "unknown option 'fast'"},
        {{"--record"}, "option --record needs a file name"},
        {{"--replay", "--fast"}, "option --replay needs a file name"},
        {{"--record", ""}, "option --record needs a file name"},
        {{"--fast", "--fast"}, "option --fast given twice"},
        {{"--config"}, "option --config needs a folder name"},
        {{"--config", "a", "--config", "b"}, "option --config given twice"},
        {{"--record", "a", "--record", "b"}, "option --record given twice"},
        {{"--record", "same.txt", "--replay", "same.txt"}, "--record and --replay name the same file"},
    };
    for (const auto& [words, expected] : cases) {
        LaunchOptions options;
        options.recordPath = "kept";
        std::string problem;
        EXPECT_FALSE(parse(words, options, problem)) << expected;
        EXPECT_EQ(problem, expected);
        EXPECT_EQ(options.recordPath, "kept");
        EXPECT_FALSE(options.fast);
    }
}

TEST(LaunchOptions, GameGivesTheUsageLineAndExitCodeTwoWithoutOpeningAWindow) {
    Game game;
    const char* words[] = {"vorlune", "--bogus"};
    testing::internal::CaptureStderr();
    const int code = game.runFromCommandLine(2, words);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_EQ(printed, "vorlune: unknown option '--bogus'; " + launchUsage("vorlune") + "\n");
    EXPECT_EQ(
        launchUsage("vorlune"),
        "usage: vorlune [--fast] [--no-draw] [--record FILE] [--replay FILE [--until F]] [--sync-test N] "
        "[--player2 person|computer] [--demo [--shots DIR]] [--soak FRAMES] [--frames N] [--config DIR] "
        "[--arena NAME] "
        "[--host [ADDRESS:]PORT | --join ADDRESS:PORT] "
        "[--net-sim delay=MS,jitter=MS,loss=PERCENT,duplicate=PERCENT,seed=N] [--lives N|unlimited] [--seed "
        "N] "
        "[--draw-rate FPS] [--nudge FRAME]");
    EXPECT_FALSE(game.window.isOpen());
}

TEST(LaunchOptions, ComputerPlayerAndDemoOptions) {
    LaunchOptions options;
    std::string problem;
    ASSERT_TRUE(parse({"--player2", "computer"}, options, problem)) << problem;
    EXPECT_TRUE(options.player2Computer);
    EXPECT_FALSE(options.demo);
    ASSERT_TRUE(parse({"--player2", "person"}, options, problem)) << problem;
    EXPECT_FALSE(options.player2Computer);
    ASSERT_TRUE(parse({"--shots", "out/shots", "--fast", "--demo"}, options, problem)) << problem;
    EXPECT_TRUE(options.demo);
    EXPECT_TRUE(options.fast);
    EXPECT_EQ(options.shotsPath, "out/shots");
    ASSERT_TRUE(parse({"--soak", "108000", "--no-draw"}, options, problem)) << problem;
    EXPECT_EQ(options.soakFrames, 108000);
    EXPECT_FALSE(options.demo);
    EXPECT_EQ(options.frameLimit, 0u);
    ASSERT_TRUE(parse({"--frames", "240", "--demo"}, options, problem)) << problem;
    EXPECT_EQ(options.frameLimit, 240u);
    // A replay to one frame plays by itself, fast and undrawn, from frame 0 on.
    ASSERT_TRUE(parse({"--until", "0", "--replay", "in.rec"}, options, problem)) << problem;
    EXPECT_TRUE(options.until && options.fast && options.noDraw);
    EXPECT_EQ(options.untilFrame, 0u);
    ASSERT_TRUE(parse({"--demo", "--sync-test", "8"}, options, problem)) << problem;
    EXPECT_EQ(options.syncTestDepth, 8);

    const std::vector<std::pair<std::vector<const char*>, std::string>> refused = {
        {{"--player2"}, "option --player2 needs 'person' or 'computer'"},
        {{"--player2", "robot"}, "option --player2 needs 'person' or 'computer'"},
        {{"--player2", "computer", "--player2", "person"}, "option --player2 given twice"},
        {{"--demo", "--demo"}, "option --demo given twice"},
        {{"--demo", "--shots"}, "option --shots needs a folder name"},
        {{"--shots", "dir"}, "--shots is only for --demo"},
        {{"--soak"}, "option --soak needs a number of frames from 1 to 100000000"},
        {{"--soak", "0"}, "option --soak needs a number of frames from 1 to 100000000"},
        {{"--soak", "-5"}, "option --soak needs a number of frames from 1 to 100000000"},
        {{"--soak", "12x"}, "option --soak needs a number of frames from 1 to 100000000"},
        {{"--soak", "100000001"}, "option --soak needs a number of frames from 1 to 100000000"},
        {{"--soak", "99999999999999999999"}, "option --soak needs a number of frames from 1 to 100000000"},
        {{"--soak", "5", "--soak", "6"}, "option --soak given twice"},
        {{"--soak", "5", "--demo"}, "--soak and --demo are two different runs"},
        {{"--frames"}, "option --frames needs a whole number of frames from 1 to 999999999"},
        {{"--frames", "0"}, "option --frames needs a whole number of frames from 1 to 999999999"},
        {{"--frames", "-5"}, "option --frames needs a whole number of frames from 1 to 999999999"},
        {{"--frames", "12x"}, "option --frames needs a whole number of frames from 1 to 999999999"},
        {{"--frames", "1000000000"}, "option --frames needs a whole number of frames from 1 to 999999999"},
        {{"--frames", "3", "--frames", "4"}, "option --frames given twice"},
        {{"--replay", "a", "--until", "1", "--until", "2"},
         "option --until needs a frame number from 0 to 999999999, once"},
        {{"--replay", "a", "--until", "+3"}, "option --until needs a frame number from 0 to 999999999, once"},
        {{"--replay", "a", "--until", "3", "--frames", "9"},
         "--until needs --replay, and goes with neither --demo, --soak nor --frames"},
        {{"--until", "3", "--demo"},
         "--until needs --replay, and goes with neither --demo, --soak nor --frames"},
        {{"--sync-test", "9"}, "option --sync-test needs a number of frames from 1 to 8, once"},
        {{"--sync-test", "0"}, "option --sync-test needs a number of frames from 1 to 8, once"},
        {{"--sync-test", "1", "--sync-test", "1"},
         "option --sync-test needs a number of frames from 1 to 8, once"},
        {{"--sync-test", "2", "--join", "127.0.0.1:4000"}, "--sync-test does not go with --host or --join"},
    };
    for (const auto& [words, expected] : refused) {
        LaunchOptions kept;
        kept.shotsPath = "kept";
        EXPECT_FALSE(parse(words, kept, problem)) << expected;
        EXPECT_EQ(problem, expected);
        EXPECT_EQ(kept.shotsPath, "kept");
        EXPECT_FALSE(kept.demo || kept.player2Computer);
        EXPECT_EQ(kept.soakFrames, 0);
        EXPECT_EQ(kept.frameLimit, 0u);
    }
}

TEST(LaunchOptions, OnlineOptionsNameTheirEndpointAndGoOnlyWhereTheyMeanSomething) {
    LaunchOptions options;
    std::string problem;
    ASSERT_TRUE(parse({"--host", "0", "--lives", "unlimited", "--seed", "7", "--net-sim", "delay=5"}, options,
                      problem))
        << problem;
    EXPECT_TRUE(options.hosting);
    EXPECT_EQ(options.hostAddress, "");
    EXPECT_EQ(options.hostPort, 0);
    EXPECT_EQ(options.lives, 10);
    EXPECT_EQ(options.matchSeed, 7u);
    EXPECT_EQ(options.netSim, "delay=5");

    LaunchOptions joined;
    ASSERT_TRUE(parse({"--join", "127.0.0.1:7777", "--nudge", "40", "--draw-rate", "15"}, joined, problem))
        << problem;
    EXPECT_TRUE(joined.joining);
    EXPECT_EQ(joined.joinAddress, "127.0.0.1");
    EXPECT_EQ(joined.joinPort, 7777);
    EXPECT_EQ(joined.nudgeFrame, 40u);
    EXPECT_EQ(joined.drawRate, 15);
    ASSERT_TRUE(parse({"--host", "127.0.0.1:0"}, joined, problem)) << problem;
    EXPECT_EQ(joined.hostAddress, "127.0.0.1");

    for (const std::vector<const char*>& bad : {std::vector<const char*>{"--join", "7777"},
                                                {"--join", "127.0.0.1:0"},
                                                {"--host", "70000"},
                                                {"--host", ":5"},
                                                {"--host", "1", "--join", "127.0.0.1:2"},
                                                {"--join", "a:1", "--lives", "2"},
                                                {"--net-sim", "delay=5"},
                                                {"--nudge", "3"},
                                                {"--host", "1", "--replay", "r.txt"},
                                                {"--host", "1", "--lives", "10"},
                                                {"--draw-rate", "0"}}) {
        LaunchOptions kept;
        EXPECT_FALSE(parse(bad, kept, problem)) << bad[0] << " " << bad[1];
        EXPECT_FALSE(kept.online());
    }
}
