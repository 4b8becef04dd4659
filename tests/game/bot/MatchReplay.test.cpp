// A real match recorded and played back: the demo (the computer on both
// players, from the menu's button into the arena) records itself in a
// process of its own, as `vorlune --demo --record FILE` does; this process
// then plays the file as `vorlune --replay FILE` does, without the demo and
// without computer players, and every player and beard segment must stand at
// the very same place, frame after frame.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/ScriptedInputTest.hpp"
#include "common/TestOutput.hpp"
#include "core/StateManager.hpp"
#include "game/VorluneGame.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// The menu, the click and over a minute of the fight: beards grow, float,
// fling and get cut. A whole demo match lasts minutes; the end-to-end demo
// cases replay one to its winner.
constexpr size_t recordedFrames = 5000;

// The game with a line per frame: the state, then every player and beard
// segment in scene order with its place and turn, as exact hexadecimal floats.
class TracingGame : public VorluneGame {
public:
    void onUpdate(float delta, float time) override {
        VorluneGame::onUpdate(delta, time);
        std::ostringstream line;
        line << std::hexfloat << StateManager::instance().currentName();
        for (const auto& object : GameObjectManager::instance().sceneObjects) {
            const bool player = static_cast<bool>(object->getComponent<PlayerControllerComponent>());
            if (!player && !object->getComponent<BeardSegmentComponent>()) {
                continue;
            }
            players += player ? 1 : 0;
            segments += player ? 0 : 1;
            const sf::Vector2f at = object->transform->getPosition();
            line << ' ' << object->name << ' ' << at.x << ' ' << at.y << ' '
                 << object->transform->getRotation();
        }
        trace.push_back(line.str());
        if (frameLimit > 0 && trace.size() == frameLimit) {
            window.close();
        }
    }

    size_t frameLimit = 0;
    std::vector<std::string> trace;
    // Player and segment places traced, over all frames.
    size_t players = 0;
    size_t segments = 0;
};

LaunchOptions fastUndrawn() {
    LaunchOptions options;
    options.fast = true;
    options.noDraw = true;
    return options;
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}
} // namespace

class MatchReplay : public ScriptedInputTest {};

TEST_F(MatchReplay, PlainReplayOfARecordedDemoPutsEveryPlayerAndSegmentInPlaceEveryFrame) {
    const std::string recording = testOutputPath("match-replay/demo.rec");
    const std::string recordedTrace = testOutputPath("match-replay/recorded-trace.txt");
    std::fflush(stdout);
    // The recording runs in a fresh process, as a run of the program would:
    // nothing of it may be left in this one when the replay starts.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TracingGame game;
        game.frameLimit = recordedFrames;
        LaunchOptions options = fastUndrawn();
        options.demo = true;
        options.recordPath = recording;
        const int code = game.run(options);
        std::ofstream out(recordedTrace);
        for (const auto& line : game.trace) {
            out << line << '\n';
        }
        out.close();
        std::fflush(stdout);
        _exit(code == 0 && out ? 0 : 10 + code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the recording ended by signal " << WTERMSIG(status);
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the recording run failed (needs a display: run under Xvfb)";
    const std::vector<std::string> recorded = readLines(recordedTrace);
    ASSERT_EQ(recorded.size(), recordedFrames);

    TracingGame replayed;
    LaunchOptions options = fastUndrawn();
    options.replayPath = recording;
    ASSERT_EQ(replayed.run(options), 0);
    EXPECT_FALSE(replayed.playerSetup->isComputer(1) || replayed.playerSetup->isComputer(2));
    EXPECT_FALSE(replayed.demo);
    // The recorded click took the replay from the menu into the match, and the
    // match really moved: both players and their beards, all along.
    ASSERT_EQ(replayed.trace.size(), recorded.size()) << "the replay ends with the recording's last frame";
    EXPECT_EQ(replayed.trace.front().rfind("Menu", 0), 0u);
    EXPECT_EQ(replayed.trace.back().rfind("Arena", 0), 0u) << replayed.trace.back();
    EXPECT_GT(replayed.players, recordedFrames);
    EXPECT_GT(replayed.segments, 5 * recordedFrames);
    for (size_t frame = 0; frame < recorded.size(); ++frame) {
        ASSERT_EQ(replayed.trace[frame], recorded[frame]) << "first difference at frame " << frame + 1;
    }
    EXPECT_NE(recorded[recordedFrames / 2], recorded.back()) << "nothing moved";
}
