#pragma once

// Runs the built game executable as its own process and finds its window
// through the X server, for end-to-end tests.

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "widgets/FormLoader.hpp"
#include "widgets/Group.hpp"

extern char** environ;

namespace e2e {

using Clock = std::chrono::steady_clock;

inline std::optional<Window> findWindowNamed(Display* display, Window root, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, root, &name) && name) {
        const bool match = title == name;
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

// Windows of other programs may come and go; a failed request must not end the test.
inline int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// Waits up to `limit` for a window with that title.
inline std::optional<Window> waitForWindow(Display* display, const std::string& title,
                                           std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        if (auto window = findWindowNamed(display, DefaultRootWindow(display), title)) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
inline void requestClose(Display* display, Window window) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
}

// How a game process is started: everything left at its default is the
// built executable, in the test's working directory (build/), with the
// test's own environment and standard streams.
struct Launch {
    // "NAME=value" entries added to the test's own environment, in place of
    // the test's own value of that name.
    std::vector<std::string> environment;
    // Names of the test's own variables to leave out.
    std::vector<std::string> unset;
    // Standard output goes to this file when given; standard error too with
    // `errorsToOutput`, or to `errorPath` of its own when that is given.
    std::string outputPath;
    bool errorsToOutput = false;
    std::string errorPath;
    // The command line after the program's name.
    std::vector<std::string> arguments;
    // Another executable (an installed copy), and another folder to start in.
    std::string program = std::string(VORLUNE_BINARY_DIR) + "/vorlune";
    std::string workingDirectory;
};

// A game process that never outlives the test.
class GameProcess {
public:
    explicit GameProcess(const std::vector<std::string>& environment = {},
                         const std::vector<std::string>& unset = {}, const std::string& outputPath = "",
                         const std::vector<std::string>& arguments = {})
        : GameProcess(launchOf(environment, unset, outputPath, arguments)) {}

    static Launch launchOf(const std::vector<std::string>& environment, const std::vector<std::string>& unset,
                           const std::string& outputPath, const std::vector<std::string>& arguments) {
        Launch launch;
        launch.environment = environment;
        launch.unset = unset;
        launch.outputPath = outputPath;
        launch.arguments = arguments;
        return launch;
    }

    explicit GameProcess(const Launch& launch) {
        // A variable given in `environment` replaces the test's own.
        std::vector<std::string> unset = launch.unset;
        for (const auto& variable : launch.environment) {
            unset.push_back(variable.substr(0, variable.find('=')));
        }
        std::vector<std::string> variables;
        for (char** entry = environ; *entry; ++entry) {
            const std::string variable = *entry;
            bool keep = true;
            for (const auto& name : unset) {
                keep = keep && variable.rfind(name + "=", 0) != 0;
            }
            if (keep) {
                variables.push_back(variable);
            }
        }
        variables.insert(variables.end(), launch.environment.begin(), launch.environment.end());
        std::vector<char*> envp;
        for (auto& variable : variables) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!launch.outputPath.empty()) {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, launch.outputPath.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (launch.errorsToOutput) {
                posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
            }
        }
        if (!launch.errorPath.empty()) {
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, launch.errorPath.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        if (!launch.workingDirectory.empty()) {
            posix_spawn_file_actions_addchdir_np(&actions, launch.workingDirectory.c_str());
        }
        std::vector<std::string> words{launch.program};
        words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        started = posix_spawn(&pid, launch.program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~GameProcess() {
        if (started && !reaped) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // The wait status once the process has ended within the limit.
    std::optional<int> waitForExit(std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
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

// Where a widget of a game page lies in the 1920 x 1080 window: the page is
// read with the widget library, as the game reads it.
inline sf::Vector2i centreOfWidget(const std::string& formPath, const std::string& widget) {
    auto page = widgets::Group::create();
    page->setSize(widgets::Layout2d(1920.0f, 1080.0f));
    widgets::loadFormFile(*page, formPath);
    const auto found = page->get(widget);
    if (!found) {
        return {-1, -1};
    }
    const sf::FloatRect rect = found->getAbsoluteRect();
    return {static_cast<int>(rect.left + rect.width / 2), static_cast<int>(rect.top + rect.height / 2)};
}

inline bool xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

// Moves the real pointer onto a point of the window (window pixels) and,
// after a moment for the game to see it there, clicks.
inline bool clickInWindow(Window window, sf::Vector2i point) {
    const std::string id = std::to_string(static_cast<unsigned long>(window));
    if (!xdotool("mousemove --window " + id + " " + std::to_string(point.x) + " " +
                 std::to_string(point.y))) {
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return xdotool("click 1");
}

// Holds the key long enough for the game to sample it in a frame, even a
// slow one on a loaded machine (the game reads the keyboard once a frame; a
// held key counts once).
inline bool pressKey(const std::string& key) {
    if (!xdotool("keydown " + key)) {
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    return xdotool("keyup " + key);
}

} // namespace e2e
