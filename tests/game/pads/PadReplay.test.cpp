// A match played with pads, recorded and played back: the recording runs in
// a process of its own with SDL's virtual pads (one takes player 1 at the
// menu and starts the match, another joins as player 2, sticks, buttons, a
// trigger, an unplugged pad's pause and its return), and the replay, without
// any pad, must put every player and beard segment in the same place every frame.
#include <algorithm>

#include "common/ScriptedInputTest.hpp"
#include "common/TestOutput.hpp"
#include "common/VirtualPads.hpp"
#include "game/TracingGame.hpp"

namespace {
// Plays the pads' part of the recording, frame by frame.
int recordWithPads(const std::string& recording, std::vector<std::string>& trace) {
    return recordScriptedRun("Vorlune pad replay", std::make_shared<ScriptedKeysRealPads>(), recording, trace,
                             [](TracingGame&, const std::function<void(int)>& frames) {
                                 VirtualPad first("Pad A", 0x1209, 0x000A);
                                 VirtualPad second("Pad B", 0x1209, 0x000B);
                                 frames(3);
                                 first.plugIn();
                                 frames(2);
                                 first.setButton(SDL_CONTROLLER_BUTTON_A, true);
                                 frames(1);
                                 first.setButton(SDL_CONTROLLER_BUTTON_A, false);
                                 frames(80);
                                 second.plugIn();
                                 frames(1);
                                 second.setButton(SDL_CONTROLLER_BUTTON_A, true);
                                 frames(2);
                                 second.setButton(SDL_CONTROLLER_BUTTON_A, false);
                                 first.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.8f);
                                 second.setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.6f);
                                 frames(40);
                                 first.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.0f);
                                 first.setAxis(SDL_CONTROLLER_AXIS_LEFTY, -1.0f);
                                 first.setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
                                 frames(50);
                                 first.setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0f);
                                 first.setAxis(SDL_CONTROLLER_AXIS_LEFTY, 0.0f);
                                 frames(30);
                                 second.unplug();
                                 frames(40);
                                 second.plugIn();
                                 second.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 1.0f);
                                 frames(60);
                                 second.setButton(SDL_CONTROLLER_BUTTON_B, true);
                                 frames(30);
                                 second.setButton(SDL_CONTROLLER_BUTTON_B, false);
                                 frames(60);
                             });
}
} // namespace

class PadReplay : public ScriptedInputTest {};

TEST_F(PadReplay, MatchPlayedWithPadsReplaysExactlyWithoutThem) {
    const std::string recording = testOutputPath("pad-replay/pads.rec");
    const std::string recordedTrace = testOutputPath("pad-replay/recorded-trace.txt");
    std::vector<std::string> recorded;
    ASSERT_NO_FATAL_FAILURE(traceInChildProcess(
        recordedTrace, [&](std::vector<std::string>& trace) { return recordWithPads(recording, trace); },
        recorded));
    ASSERT_EQ(recorded.size(), 399u) << "every frame of the recording traced";
    const std::vector<std::string> lines = readLines(recording);
    const auto has = [&](const std::string& start) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const auto& line) { return line.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(has("g keydown")) << "the pad's press on the menu";
    EXPECT_TRUE(has("g padlost 1"));
    EXPECT_TRUE(has("g padback 1"));

    TracingGame replayed;
    ASSERT_NO_FATAL_FAILURE(expectReplayTracesAsRecorded(replayed, recording, recorded));
    EXPECT_EQ(replayed.trace.front().rfind("Menu", 0), 0u);
    EXPECT_EQ(replayed.trace.back().rfind("Arena", 0), 0u) << replayed.trace.back();
    EXPECT_NE(recorded[120], recorded.back()) << "nothing moved";
}
