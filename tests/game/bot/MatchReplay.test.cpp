// A real match recorded and played back: the demo (the computer on both
// players, from the menu's button into the arena) records itself in a
// process of its own, as `vorlune --demo --record FILE` does; this process
// then plays the file as `vorlune --replay FILE` does, without the demo and
// without computer players, and every player and beard segment must stand at
// the very same place, frame after frame.
#include <string>
#include <vector>

#include "common/ScriptedInputTest.hpp"
#include "common/TestOutput.hpp"
#include "game/TracingGame.hpp"

namespace {
// The menu, the click and over a minute of the fight: beards grow, float,
// fling and get cut. A whole demo match lasts minutes; the end-to-end demo
// cases replay one to its winner.
constexpr size_t recordedFrames = 5000;
} // namespace

class MatchReplay : public ScriptedInputTest {};

TEST_F(MatchReplay, PlainReplayOfARecordedDemoPutsEveryPlayerAndSegmentInPlaceEveryFrame) {
    const std::string recording = testOutputPath("match-replay/demo.rec");
    const std::string recordedTrace = testOutputPath("match-replay/recorded-trace.txt");
    // The recording runs in a fresh process, as a run of the program would.
    std::vector<std::string> recorded;
    ASSERT_NO_FATAL_FAILURE(traceInChildProcess(
        recordedTrace,
        [&](std::vector<std::string>& trace) {
            TracingGame game;
            game.frameLimit = recordedFrames;
            LaunchOptions options = fastUndrawn();
            options.demo = true;
            options.recordPath = recording;
            const int code = game.run(options);
            trace = game.trace;
            return code;
        },
        recorded));
    ASSERT_EQ(recorded.size(), recordedFrames);

    TracingGame replayed;
    ASSERT_NO_FATAL_FAILURE(expectReplayTracesAsRecorded(replayed, recording, recorded));
    EXPECT_FALSE(replayed.playerSetup->isComputer(1) || replayed.playerSetup->isComputer(2));
    EXPECT_FALSE(replayed.demo);
    // The recorded click took the replay from the menu into the match, and the
    // match really moved: both players and their beards, all along.
    EXPECT_EQ(replayed.trace.front().rfind("Menu", 0), 0u);
    EXPECT_EQ(replayed.trace.back().rfind("Arena", 0), 0u) << replayed.trace.back();
    EXPECT_GT(replayed.players, recordedFrames);
    EXPECT_GT(replayed.segments, 5 * recordedFrames);
    EXPECT_NE(recorded[recordedFrames / 2], recorded.back()) << "nothing moved";
}
