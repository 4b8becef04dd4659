#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/StateManager.hpp"
#include "core/input/InputManager.hpp"
#include "game/VorluneGame.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

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

// Frames back to back, each one fixed step, without drawing.
inline LaunchOptions fastUndrawn() {
    LaunchOptions options;
    options.fast = true;
    options.noDraw = true;
    return options;
}

inline std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Runs `record` (which returns its exit code, 0 when all went well, and fills
// the trace) in a fresh process, as a run of the program would be: nothing
// of it may be left in this one when a replay starts. The child's trace
// comes back through `tracePath`; a child that fails fails the case.
inline void traceInChildProcess(const std::string& tracePath,
                                const std::function<int(std::vector<std::string>&)>& record,
                                std::vector<std::string>& trace) {
    std::fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<std::string> lines;
        const int code = record(lines);
        std::ofstream out(tracePath);
        for (const auto& line : lines) {
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
    trace = readLines(tracePath);
}

// One recorded run for a replay case: a fresh game reading `devices`,
// recording into `recording` while `script` plays it frame by frame (its
// second argument runs that many fixed frames), then shut down as the
// program ends. Returns 0 when the recording was written, else a code
// naming the step that failed; the trace lands in `trace`.
inline int
recordScriptedRun(const std::string& title, std::shared_ptr<InputBackend> devices,
                  const std::string& recording, std::vector<std::string>& trace,
                  const std::function<void(TracingGame&, const std::function<void(int)>&)>& script) {
    TracingGame game;
    game.title = title;
    if (!game.init()) {
        return 3;
    }
    InputManager::instance().setBackend(std::move(devices));
    if (!game.startRecording(recording)) {
        return 4;
    }
    FrameTimes times;
    script(game, [&](int count) {
        for (int i = 0; i < count; ++i) {
            game.runFrame(times, [] { return 1.0f / 60.0f; });
        }
    });
    const bool written = game.finishRecording();
    game.window.close();
    game.shutdown();
    trace = game.trace;
    return written ? 0 : 5;
}

// Plays `recording` back into `replayed` as `vorlune --replay` does, and
// expects the very frames of `recorded`, in order.
inline void expectReplayTracesAsRecorded(TracingGame& replayed, const std::string& recording,
                                         const std::vector<std::string>& recorded) {
    LaunchOptions options = fastUndrawn();
    options.replayPath = recording;
    ASSERT_EQ(replayed.run(options), 0);
    ASSERT_EQ(replayed.trace.size(), recorded.size()) << "the replay ends with the recording's last frame";
    for (size_t frame = 0; frame < recorded.size(); ++frame) {
        ASSERT_EQ(replayed.trace[frame], recorded[frame]) << "first difference at frame " << frame + 1;
    }
}
