// `vorlune --replay FILE --until F` as a player runs it, against the same
// recording replayed in this process: the line it prints is the match's
// checksum the replay reaches after frame F of the match.
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "core/StateManager.hpp"
#include "game/VorluneGame.hpp"
#include "game/online/MatchChecksum.hpp"

// Last: Xlib's macros (None, Status, ...) clash with SFML's names.
#include "e2e/GameProcess.hpp"

namespace {
// The replayed match's checksum after every frame's update, from its first
// frame in the arena until it leaves it.
class ChecksumGame : public VorluneGame {
public:
    void onUpdate(float delta, float time) override {
        VorluneGame::onUpdate(delta, time);
        const bool inArena = StateManager::instance().currentName() == "Arena";
        left = left || (!inArena && !checksums.empty());
        if (inArena && !left) {
            checksums.push_back(matchChecksum());
        }
    }
    std::vector<uint32_t> checksums;
    bool left = false;
};

struct Ended {
    int code = -1;
    std::string output;
    std::string errors;
};

Ended runGame(const std::vector<std::string>& arguments, const std::string& name) {
    e2e::Launch launch;
    launch.environment = {"ALSOFT_DRIVERS=null"};
    launch.outputPath = testOutputPath("replay-until/" + name + ".out");
    launch.errorPath = testOutputPath("replay-until/" + name + ".err");
    launch.arguments = arguments;
    e2e::GameProcess game(launch);
    Ended run;
    const auto status = game.started ? game.waitForExit(std::chrono::seconds(60)) : std::nullopt;
    if (status && WIFEXITED(*status)) {
        run.code = WEXITSTATUS(*status);
    }
    run.output = readWholeFile(launch.outputPath);
    run.errors = readWholeFile(launch.errorPath);
    return run;
}

std::string stateLine(size_t frame, uint32_t checksum) {
    char line[48];
    std::snprintf(line, sizeof line, "state at frame %zu: %08X\n", frame, checksum);
    return line;
}
} // namespace

TEST(ReplayUntil, PrintsTheChecksumTheReplayReachesAtThatFrameOfTheMatchAndNothingElse) {
    // The demo's click into the arena and some 800 frames of its fight.
    const std::string recording = testOutputPath("replay-until/demo.rec");
    const Ended recorded =
        runGame({"--demo", "--fast", "--no-draw", "--record", recording, "--frames", "900"}, "record");
    ASSERT_EQ(recorded.code, 0) << recorded.errors;

    ChecksumGame replayed;
    LaunchOptions options;
    options.fast = options.noDraw = true;
    options.replayPath = recording;
    ASSERT_EQ(replayed.run(options), 0);
    const std::vector<uint32_t>& checksums = replayed.checksums;
    ASSERT_GT(checksums.size(), 600u) << "the recording holds a match";
    const size_t last = checksums.size() - 1;

    // A checksum frame of online play, a frame between two, the last one;
    // the first twice, undrawn and fast or not: the same line.
    const std::vector<std::vector<std::string>> asked = {{"--until", "300"},
                                                         {"--until", "300", "--fast", "--no-draw"},
                                                         {"--until", "457"},
                                                         {"--until", std::to_string(last)}};
    std::vector<std::string> lines;
    for (const auto& until : asked) {
        std::vector<std::string> arguments{"--replay", recording};
        arguments.insert(arguments.end(), until.begin(), until.end());
        const Ended run = runGame(arguments, "until-" + std::to_string(lines.size()));
        EXPECT_EQ(run.code, 0) << run.errors;
        const size_t frame = std::stoul(until[1]);
        EXPECT_EQ(run.output, stateLine(frame, checksums[frame]));
        lines.push_back(run.output);
    }
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_NE(checksums[300], checksums[457]);
    EXPECT_NE(checksums[457], checksums[last]);

    // Past the match's end: where it ends, and no state.
    const Ended past = runGame({"--replay", recording, "--until", std::to_string(last + 1)}, "past");
    EXPECT_EQ(past.code, 3);
    EXPECT_EQ(past.output, "");
    EXPECT_NE(past.errors.find("--until " + std::to_string(last + 1) + ": the recording ends at frame " +
                               std::to_string(last) + "\n"),
              std::string::npos)
        << past.errors;

    // A frame that is no frame, or without a recording: a usage error.
    for (const auto& words : std::vector<std::vector<std::string>>{{"--replay", recording, "--until", "-1"},
                                                                   {"--replay", recording, "--until", "x"},
                                                                   {"--until", "30"}}) {
        const Ended bad = runGame(words, "bad");
        EXPECT_EQ(bad.code, 2) << words.back();
        EXPECT_EQ(bad.output, "");
        EXPECT_NE(bad.errors.find("--until"), std::string::npos) << bad.errors;
        EXPECT_NE(bad.errors.find("usage: "), std::string::npos) << bad.errors;
    }
}
