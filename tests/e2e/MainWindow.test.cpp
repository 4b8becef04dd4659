// Starts the real game executable under the test display, finds its window
// through the X server, asks it to close the way a window manager would
// (WM_DELETE_WINDOW), and checks that the process ends cleanly.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::optional<Window> findWindowNamed(Display* display, Window root, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, root, &name) && name) {
        bool match = title == name;
        XFree(name);
        if (match) {
            return root;
        }
    }
    Window rootReturn, parentReturn;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parentReturn, &children, &count)) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        found = findWindowNamed(display, children[i], title);
    }
    if (children) {
        XFree(children);
    }
    return found;
}

// Runs the executable and makes sure it never outlives the test.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& path) {
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        started = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) == 0;
    }
    ~ChildProcess() {
        if (started && !reaped) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // The wait status once the process has ended within the limit.
    std::optional<int> waitForExit(std::chrono::seconds limit) {
        auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                reaped = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }
    bool started = false;

private:
    pid_t pid = 0;
    bool reaped = false;
};

// Windows of other tests may come and go; a failed request must not end the test.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

TEST(MainWindow, GameOpensItsWindowAndExitsCleanlyWhenAskedToClose) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs a display (run under Xvfb)";

    XSetErrorHandler(ignoreXErrors);
    ChildProcess game(std::string(VORLUNE_BINARY_DIR) + "/vorlune");
    ASSERT_TRUE(game.started);

    std::optional<Window> window;
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!window && Clock::now() < deadline) {
        window = findWindowNamed(display, DefaultRootWindow(display), "Vorlune");
        if (!window) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
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
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = *window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, *window, False, NoEventMask, &close);
    XFlush(display);
    XCloseDisplay(display);

    auto status = game.waitForExit(std::chrono::seconds(15));
    ASSERT_TRUE(status) << "the game did not exit after the close request";
    ASSERT_TRUE(WIFEXITED(*status)) << "the game ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}
