// Two games playing online over 127.0.0.1, each a process of its own, as two
// people on two machines would: a whole match on three links, a guest that
// disappears, a disagreement, two drawing rates, and a guest with other
// content.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <thread>

#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "e2e/GameProcess.hpp"

namespace {
using namespace std::chrono_literals;

// The first match of `pattern` in the file's text so far (its first group), or "".
std::string findInOutput(const std::string& path, const std::string& pattern) {
    std::smatch found;
    const std::string text = readWholeFile(path);
    if (!std::regex_search(text, found, std::regex(pattern))) {
        return "";
    }
    return found.size() > 1 ? found[1].str() : found[0].str();
}

// Waits up to `limit` for the pattern to appear in the file.
std::string waitForOutput(const std::string& path, const std::string& pattern, std::chrono::seconds limit) {
    const auto deadline = e2e::Clock::now() + limit;
    while (e2e::Clock::now() < deadline) {
        const std::string found = findInOutput(path, pattern);
        if (!found.empty()) {
            return found;
        }
        std::this_thread::sleep_for(50ms);
    }
    return "";
}

const char* const matchOverLine = "online match over: winner [0-9], frame [0-9]+, state [0-9A-F]{8}";

// A host and a guest, started one after the other in the test's output folder `name`.
class OnlinePair {
public:
    // `guestRecordsInTemp`: the guest is given no file to record in (its own temporary folder then).
    OnlinePair(const std::string& name, std::vector<std::string> hostArguments,
               std::vector<std::string> guestArguments, std::vector<std::string> guestEnvironment = {},
               bool guestRecordsInTemp = false)
        : folder(testOutputPath(name + "/host.txt")) {
        folder = std::filesystem::path(folder).parent_path().string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        hostOutput = folder + "/host.txt";
        guestOutput = folder + "/guest.txt";
        hostRecording = folder + "/host.replay";
        hostArguments.insert(hostArguments.begin(), {"--host", "127.0.0.1:0", "--record", hostRecording});
        host = std::make_unique<e2e::GameProcess>(side({"ALSOFT_DRIVERS=null"}, hostOutput, hostArguments));
        port = waitForOutput(hostOutput, "hosting on port ([0-9]+)", 30s);
        if (port.empty()) {
            return;
        }
        guestArguments.insert(guestArguments.begin(), {"--join", "127.0.0.1:" + port});
        if (!guestRecordsInTemp) {
            guestArguments.insert(guestArguments.end(), {"--record", folder + "/guest.replay"});
        }
        guestEnvironment.push_back("ALSOFT_DRIVERS=null");
        guest = std::make_unique<e2e::GameProcess>(side(guestEnvironment, guestOutput, guestArguments));
    }

    // One side's launch: its results and its reports (why a match was cut
    // short) go into one file, in the order they came.
    static e2e::Launch side(const std::vector<std::string>& environment, const std::string& output,
                            const std::vector<std::string>& arguments) {
        e2e::Launch launch = e2e::GameProcess::launchOf(environment, {}, output, arguments);
        launch.errorsToOutput = true;
        return launch;
    }

    bool started() const { return !port.empty() && host->started && guest && guest->started; }

    // Both processes' exit codes, when both ended within the limit.
    std::optional<std::pair<int, int>> waitForBoth(std::chrono::seconds limit) {
        const auto guestStatus = guest->waitForExit(limit);
        const auto hostStatus = host->waitForExit(10s);
        if (!guestStatus || !hostStatus || !WIFEXITED(*guestStatus) || !WIFEXITED(*hostStatus)) {
            return std::nullopt;
        }
        return std::make_pair(WEXITSTATUS(*hostStatus), WEXITSTATUS(*guestStatus));
    }

    std::string folder, hostOutput, guestOutput, hostRecording, port;
    std::unique_ptr<e2e::GameProcess> host;
    std::unique_ptr<e2e::GameProcess> guest;
};

// A whole computer-against-computer match: both sides end with the same
// line, and the host's recording replays offline to the same end; with
// `untilLastChecksum`, also played only to the frame of the last checksum
// the two sides compared, where it prints that checksum.
void playWholeMatch(const std::string& name, const std::vector<std::string>& hostLink,
                    const std::vector<std::string>& guestLink, std::chrono::seconds limit,
                    bool untilLastChecksum = false) {
    std::vector<std::string> host{"--demo", "--fast", "--no-draw", "--lives", "1", "--seed", "2"};
    std::vector<std::string> guest{"--demo", "--fast", "--no-draw"};
    host.insert(host.end(), hostLink.begin(), hostLink.end());
    guest.insert(guest.end(), guestLink.begin(), guestLink.end());
    OnlinePair pair(name, host, guest);
    ASSERT_TRUE(pair.started()) << readWholeFile(pair.hostOutput);
    const auto codes = pair.waitForBoth(limit);
    ASSERT_TRUE(codes) << "the match did not end\n" << readWholeFile(pair.hostOutput);
    EXPECT_EQ(codes->first, 0) << readWholeFile(pair.hostOutput);
    EXPECT_EQ(codes->second, 0) << readWholeFile(pair.guestOutput);
    const std::string hostLine = findInOutput(pair.hostOutput, matchOverLine);
    ASSERT_FALSE(hostLine.empty()) << readWholeFile(pair.hostOutput);
    EXPECT_EQ(findInOutput(pair.guestOutput, matchOverLine), hostLine);
    EXPECT_EQ(hostLine.find("winner 0"), std::string::npos) << "the match ended by its rules";

    const std::string replayOutput = pair.folder + "/replay.txt";
    e2e::GameProcess replay({"ALSOFT_DRIVERS=null"}, {}, replayOutput,
                            {"--replay", pair.hostRecording, "--fast", "--no-draw"});
    const auto status = replay.waitForExit(60s);
    ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << readWholeFile(replayOutput);
    const std::string replayed = findInOutput(replayOutput, "replayed match over: (.*)");
    EXPECT_EQ("online match over: " + replayed, hostLine);
    if (!untilLastChecksum) {
        return;
    }
    // "frame F" counts the frames played; the last checksum was taken at the last multiple of 30 below F.
    std::smatch parts;
    ASSERT_TRUE(std::regex_search(hostLine, parts, std::regex("frame ([0-9]+), state ([0-9A-F]{8})")));
    const unsigned long played = std::stoul(parts[1].str());
    const std::string checksumFrame = std::to_string((played - 1) / 30 * 30);
    const std::string untilOutput = pair.folder + "/until.txt";
    e2e::GameProcess until({"ALSOFT_DRIVERS=null"}, {}, untilOutput,
                           {"--replay", pair.hostRecording, "--until", checksumFrame});
    const auto untilStatus = until.waitForExit(60s);
    ASSERT_TRUE(untilStatus && WIFEXITED(*untilStatus) && WEXITSTATUS(*untilStatus) == 0)
        << readWholeFile(untilOutput);
    EXPECT_EQ(readWholeFile(untilOutput), "state at frame " + checksumFrame + ": " + parts[2].str() + "\n");
}
} // namespace

TEST(Online, AWholeMatchWithoutDelayEndsAlikeOnBothSidesAndReplaysOffline) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    playWholeMatch("online-direct", {}, {}, 90s, true);
}

TEST(Online, AWholeMatchOverA50MillisecondLinkWithJitterEndsAlike) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    playWholeMatch("online-50ms", {"--net-sim", "delay=50,jitter=10,seed=1"},
                   {"--net-sim", "delay=50,jitter=10,seed=2"}, 100s);
}

TEST(Online, AWholeMatchOverASlowLossyLinkThatDuplicatesEndsAlike) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    playWholeMatch("online-120ms", {"--net-sim", "delay=120,loss=5,duplicate=1,seed=1"},
                   {"--net-sim", "delay=120,loss=5,duplicate=1,seed=2"}, 110s);
}

TEST(Online, AWholeMatchWithOneSideBehindEndsAtOneFrameOnBothSidesAndIsRecordedInNewFilesOnly) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    // The guest records in a temporary folder of its own, where someone else
    // made the first name it would take a link to their file.
    const std::filesystem::path temporary = testOutputPath("online-behind/tmp");
    std::filesystem::remove_all(temporary);
    std::filesystem::create_directories(temporary);
    const std::string theirs = (temporary / "theirs.txt").string();
    writeWholeFile(theirs, "someone else's file");
    std::filesystem::create_symlink(theirs, temporary / "vorlune-online-guest-1.replay");

    // A side paced at 60 frames a second is behind one that plays as fast as
    // the inputs come: the fast one ends the match first and quits while the
    // other still has frames to play whose inputs both came. The link loses
    // half of the lossy side's packets, the round-trip probes first of all
    // (the shaping's seed 186 loses the first eight), so the input delay is
    // the longest, 8 frames, and so is what is left to play on the paced side
    // (the fast side's packets are the lost ones). Each way round,
    // then both fast over a plain link; a short match (about 2000 frames).
    struct Round {
        bool hostFast;
        bool guestFast;
        bool lossy;
    };
    const std::vector<Round> rounds{{true, false, true}, {false, true, true}, {true, true, false}};
    std::string lastRecording;
    std::string lastLine;
    for (size_t round = 0; round < rounds.size(); ++round) {
        std::vector<std::string> host{"--demo", "--no-draw", "--lives", "1",
                                      "--seed", "2",         "--arena", "spires"};
        std::vector<std::string> guest{"--demo", "--no-draw"};
        if (rounds[round].hostFast) {
            host.push_back("--fast");
        }
        if (rounds[round].guestFast) {
            guest.push_back("--fast");
        }
        if (rounds[round].lossy) {
            auto& fast = rounds[round].hostFast ? host : guest;
            fast.insert(fast.end(), {"--net-sim", "loss=50,seed=186"});
        }
        OnlinePair pair("online-behind/round" + std::to_string(round), host, guest,
                        {"TMPDIR=" + temporary.string()}, true);
        ASSERT_TRUE(pair.started()) << readWholeFile(pair.hostOutput);
        const auto codes = pair.waitForBoth(100s);
        ASSERT_TRUE(codes) << "the match did not end\n" << readWholeFile(pair.hostOutput);
        EXPECT_EQ(*codes, std::make_pair(0, 0))
            << "round " << round << "\n"
            << readWholeFile(pair.hostOutput) << readWholeFile(pair.guestOutput);
        const std::string hostLine = findInOutput(pair.hostOutput, matchOverLine);
        ASSERT_FALSE(hostLine.empty()) << readWholeFile(pair.hostOutput);
        EXPECT_EQ(findInOutput(pair.guestOutput, matchOverLine), hostLine) << "round " << round;
        EXPECT_EQ(hostLine.find("winner 0"), std::string::npos) << "the match ended by its rules";
        if (rounds[round].lossy) {
            EXPECT_FALSE(findInOutput(pair.hostOutput, "input delay 8 frames").empty())
                << readWholeFile(pair.hostOutput);
        }
        lastLine = hostLine;

        // Every match in a new file: past the one taken, and past the matches before.
        lastRecording = findInOutput(pair.guestOutput, "online match recorded in ([^\n]+)");
        EXPECT_EQ(lastRecording,
                  (temporary / ("vorlune-online-guest-" + std::to_string(round + 2) + ".replay")).string());
    }
    EXPECT_EQ(readWholeFile(theirs), "someone else's file");

    const std::string replayOutput = testOutputPath("online-behind/replay.txt");
    e2e::GameProcess replay({"ALSOFT_DRIVERS=null"}, {}, replayOutput,
                            {"--replay", lastRecording, "--fast", "--no-draw"});
    const auto status = replay.waitForExit(60s);
    ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << readWholeFile(replayOutput);
    EXPECT_EQ("online match over: " + findInOutput(replayOutput, "replayed match over: (.*)"), lastLine);
}

TEST(Online, AGuestKilledMidMatchSendsTheHostBackToTheMenuWithinSixSeconds) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    // The host's player is a person who does nothing; the host paces at 60 a second.
    OnlinePair pair("online-killed", {"--no-draw"}, {"--demo", "--no-draw"});
    ASSERT_TRUE(pair.started()) << readWholeFile(pair.hostOutput);
    ASSERT_FALSE(waitForOutput(pair.guestOutput, "online match: you are player 2", 30s).empty())
        << readWholeFile(pair.guestOutput);
    std::this_thread::sleep_for(2s);
    pair.guest.reset();
    const auto killed = e2e::Clock::now();
    const std::string line = waitForOutput(pair.hostOutput, "online match over: winner 0[^\n]*", 10s);
    const auto took = std::chrono::duration<double>(e2e::Clock::now() - killed).count();
    ASSERT_FALSE(line.empty()) << readWholeFile(pair.hostOutput);
    EXPECT_LT(took, 6.0);
    EXPECT_FALSE(findInOutput(pair.hostOutput, "online: the other player (stopped answering|left)").empty())
        << readWholeFile(pair.hostOutput);

    // Back on the menu, the host quits like any game: its window closed, exit 0.
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    XSetErrorHandler(e2e::ignoreXErrors);
    const auto window = e2e::waitForWindow(x, "Vorlune", 10s);
    ASSERT_TRUE(window);
    e2e::requestClose(x, *window);
    const auto status = pair.host->waitForExit(20s);
    XCloseDisplay(x);
    ASSERT_TRUE(status && WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0) << readWholeFile(pair.hostOutput);
}

TEST(Online, ABodyNudgedOnOneSideIsFoundWithinThirtyFramesOnBothSidesWithRecordingsSaved) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    const int nudged = 100;
    OnlinePair pair("online-disagree", {"--demo", "--fast", "--no-draw", "--nudge", std::to_string(nudged)},
                    {"--demo", "--fast", "--no-draw"});
    ASSERT_TRUE(pair.started()) << readWholeFile(pair.hostOutput);
    const auto codes = pair.waitForBoth(60s);
    ASSERT_TRUE(codes) << readWholeFile(pair.hostOutput);
    EXPECT_EQ(codes->first, 3) << "a demo whose match was cut short";
    EXPECT_EQ(codes->second, 3);
    for (const auto& output : {pair.hostOutput, pair.guestOutput}) {
        const std::string frame = findInOutput(output, "the two games disagree at frame ([0-9]+)");
        ASSERT_FALSE(frame.empty()) << readWholeFile(output);
        EXPECT_GE(std::stoi(frame), nudged);
        EXPECT_LE(std::stoi(frame), nudged + 30);
        const std::string saved = findInOutput(output, "recording is saved in ([^\n]+)");
        EXPECT_TRUE(std::filesystem::exists(saved)) << readWholeFile(output);
    }
}

TEST(Online, OneSideDrawingAt60AndTheOtherAt15PlayTheSameMatch) {
    // A small screen gives small windows, whose drawing costs little.
    PrivateDisplay display("800x450");
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    OnlinePair pair("online-draw-rates",
                    {"--demo", "--fast", "--lives", "1", "--seed", "2", "--draw-rate", "60"},
                    {"--demo", "--fast", "--draw-rate", "15"});
    ASSERT_TRUE(pair.started()) << readWholeFile(pair.hostOutput);
    const auto codes = pair.waitForBoth(110s);
    ASSERT_TRUE(codes) << readWholeFile(pair.hostOutput);
    EXPECT_EQ(*codes, std::make_pair(0, 0)) << readWholeFile(pair.guestOutput);
    const std::string hostLine = findInOutput(pair.hostOutput, matchOverLine);
    ASSERT_FALSE(hostLine.empty()) << readWholeFile(pair.hostOutput);
    EXPECT_EQ(findInOutput(pair.guestOutput, matchOverLine), hostLine);
}

TEST(Online, AGuestWithOtherMapsIsRefusedOnBothSidesWithOneLineSayingWhich) {
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    // The guest's content: the game's own, but one map differs by a byte.
    const std::filesystem::path content = testOutputPath("online-refused/content/gui");
    std::filesystem::remove_all(content.parent_path());
    const std::filesystem::path assets = std::string(VORLUNE_SOURCE_DIR) + "/assets";
    std::filesystem::copy(assets, content.parent_path(), std::filesystem::copy_options::recursive);
    const std::string map = (content.parent_path() / "tilemap/zefMap.tmx").string();
    writeWholeFile(map, readWholeFile(map) + " ");

    OnlinePair pair("online-refused/run", {"--demo", "--fast", "--no-draw"},
                    {"--demo", "--fast", "--no-draw"}, {"VORLUNE_CONTENT=" + content.parent_path().string()});
    ASSERT_TRUE(pair.started()) << readWholeFile(pair.hostOutput);
    ASSERT_FALSE(waitForOutput(pair.hostOutput, "refused the guest: the game content differs", 30s).empty())
        << readWholeFile(pair.hostOutput);
    const auto guestStatus = pair.guest->waitForExit(30s);
    ASSERT_TRUE(guestStatus && WIFEXITED(*guestStatus));
    EXPECT_NE(WEXITSTATUS(*guestStatus), 0);
    EXPECT_FALSE(findInOutput(pair.guestOutput, "refused by the host: the game content differs").empty())
        << readWholeFile(pair.guestOutput);
    EXPECT_TRUE(findInOutput(pair.hostOutput, "online match").empty()) << "no match was played";
}
