#pragma once

// The fixture of end-to-end cases that play the built game in an X server of
// their own, with a folder for what the game writes.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "common/MediaFixtures.hpp"
#include "common/PrivateDisplay.hpp"
#include "e2e/GameProcess.hpp"

namespace e2e {

class GameOnDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.isRunning()) << display.getProblem();
        connection = XOpenDisplay(nullptr);
        ASSERT_NE(connection, nullptr);
        XSetErrorHandler(ignoreXErrors);
    }
    void TearDown() override {
        if (connection) {
            XCloseDisplay(connection);
        }
    }

    // The process ended by itself within `limit`, with status `code`.
    static void expectExit(GameProcess& game, int code,
                           std::chrono::seconds limit = std::chrono::seconds(20)) {
        const auto status = game.waitForExit(limit);
        ASSERT_TRUE(status) << "the game did not exit";
        ASSERT_TRUE(WIFEXITED(*status)) << "the game ended by signal " << WTERMSIG(*status);
        EXPECT_EQ(WEXITSTATUS(*status), code);
    }

    static std::string readText(const std::string& path) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    PrivateDisplay display;
    Display* connection = nullptr;
    TempDirectory files;
};

} // namespace e2e
