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
    TracingGame game;
    game.title = "Vorlune pad replay";
    if (!game.init()) {
        return 3;
    }
    InputManager::instance().setBackend(std::make_shared<ScriptedKeysRealPads>());
    if (!game.startRecording(recording)) {
        return 4;
    }
    FrameTimes times;
    const auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            game.runFrame(times, [] { return 1.0f / 60.0f; });
        }
    };
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
    const bool written = game.finishRecording();
    game.window.close();
    game.shutdown();
    trace = game.trace;
    return written ? 0 : 5;
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
    LaunchOptions options = fastUndrawn();
    options.replayPath = recording;
    ASSERT_EQ(replayed.run(options), 0);
    ASSERT_EQ(replayed.trace.size(), recorded.size());
    EXPECT_EQ(replayed.trace.front().rfind("Menu", 0), 0u);
    EXPECT_EQ(replayed.trace.back().rfind("Arena", 0), 0u) << replayed.trace.back();
    for (size_t frame = 0; frame < recorded.size(); ++frame) {
        ASSERT_EQ(replayed.trace[frame], recorded[frame]) << "first difference at frame " << frame + 1;
    }
    EXPECT_NE(recorded[120], recorded.back()) << "nothing moved";
}
