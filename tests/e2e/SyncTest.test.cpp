// The game's own proof that a match can be saved and restored: a whole
// computer match on each arena with --sync-test, which after every frame puts
// the match back a frame (or eight) and plays those frames again. Nothing may
// differ, and the match, played on each time from a restored state, must
// end exactly as the same demo does without the test.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "e2e/GameProcess.hpp"

namespace {
struct SyncRun {
    int status = -1;
    std::string output;
};

SyncRun runDemo(const std::string& arena, const std::vector<std::string>& extra, const std::string& name) {
    std::vector<std::string> arguments{"--demo", "--fast", "--no-draw", "--arena", arena};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const std::string output = testOutputPath("sync-test/" + arena + "-" + name + ".txt");
    e2e::GameProcess game({"ALSOFT_DRIVERS=null"}, {}, output, arguments);
    SyncRun run;
    if (!game.started) {
        return run;
    }
    const auto status = game.waitForExit(std::chrono::seconds(330));
    run.status = status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    run.output = readWholeFile(output);
    return run;
}

// The number after `name` in the demo's figures ("winner   2"), or -1.
long numberAfter(const std::string& output, const std::string& name) {
    const size_t at = output.rfind(name);
    return at == std::string::npos ? -1 : std::stol(output.substr(at + name.size()));
}

// F, R and M of "sync test: F frames, R re-simulated, M mismatches", or empty.
std::vector<unsigned long> syncCounts(const std::string& output) {
    unsigned long frames = 0, replayed = 0, mismatches = 0;
    const size_t at = output.rfind("sync test: ");
    if (at == std::string::npos ||
        std::sscanf(output.c_str() + at, "sync test: %lu frames, %lu re-simulated, %lu mismatches", &frames,
                    &replayed, &mismatches) != 3) {
        return {};
    }
    return {frames, replayed, mismatches};
}
} // namespace

class SyncTest : public testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(SyncTest, AWholeComputerMatchPlaysAgainFromFramesBackWithoutADifference) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    const std::string arena = std::get<0>(GetParam());
    const int depth = std::get<1>(GetParam());
    const SyncRun plain = runDemo(arena, {}, "plain-" + std::to_string(depth));
    ASSERT_EQ(plain.status, 0) << plain.output;
    const long winner = numberAfter(plain.output, "winner");
    const long fightFrames = numberAfter(plain.output, "fight frames");
    ASSERT_TRUE(winner == 1 || winner == 2) << plain.output;
    ASSERT_GT(fightFrames, 600) << plain.output;
    EXPECT_EQ(plain.output.find("sync test"), std::string::npos);

    const SyncRun checked = runDemo(arena, {"--sync-test", std::to_string(depth)}, std::to_string(depth));
    const auto counts = syncCounts(checked.output);
    ASSERT_EQ(counts.size(), 3u) << checked.output;
    EXPECT_EQ(counts[2], 0u) << checked.output;
    EXPECT_EQ(checked.status, 0) << checked.output;
    // Every frame of the fight but its first few was played again, `depth` times.
    EXPECT_GT(counts[0], static_cast<unsigned long>(fightFrames));
    EXPECT_GE(counts[1], static_cast<unsigned long>(depth) * static_cast<unsigned long>(fightFrames - depth));
    // Played on from restored states, the match ends as it does untouched.
    EXPECT_EQ(numberAfter(checked.output, "winner"), winner);
    EXPECT_EQ(numberAfter(checked.output, "fight frames"), fightFrames);
}

INSTANTIATE_TEST_SUITE_P(Arenas, SyncTest,
                         testing::Combine(testing::Values(std::string("isles"), std::string("spires"),
                                                          std::string("crossing")),
                                          testing::Values(1, 8)),
                         [](const testing::TestParamInfo<std::tuple<std::string, int>>& info) {
                             return std::get<0>(info.param) + "_" + std::to_string(std::get<1>(info.param));
                         });
