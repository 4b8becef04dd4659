#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/StateManager.hpp"
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
