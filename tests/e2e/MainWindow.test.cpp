// Starts the real game executable in an X server of the case's own, finds its
// window through the X server, asks it to close the way a window manager would
// (WM_DELETE_WINDOW), and checks that the process ends cleanly.
#include <gtest/gtest.h>

#include "common/PrivateDisplay.hpp"
#include "e2e/GameProcess.hpp"

TEST(MainWindow, GameOpensItsWindowAndExitsCleanlyWhenAskedToClose) {
    PrivateDisplay server;
    ASSERT_TRUE(server.isRunning()) << server.getProblem();
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);

    XSetErrorHandler(e2e::ignoreXErrors);
    e2e::GameProcess game;
    ASSERT_TRUE(game.started);

    const std::optional<Window> window = e2e::waitForWindow(display, "Vorlune", std::chrono::seconds(30));
    if (!window) {
        XCloseDisplay(display);
        FAIL() << "no window titled \"Vorlune\" appeared";
    }

    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, *window, &attributes));
    EXPECT_EQ(attributes.width, 1920);
    EXPECT_EQ(attributes.height, 1080);

    // Let the game run a few frames before it is asked to close.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    e2e::requestClose(display, *window);
    XCloseDisplay(display);

    auto status = game.waitForExit(std::chrono::seconds(15));
    ASSERT_TRUE(status) << "the game did not exit after the close request";
    ASSERT_TRUE(WIFEXITED(*status)) << "the game ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}
