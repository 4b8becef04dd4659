#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/LaunchOptions.hpp"
#include "core/ContentRoot.hpp"
#include "core/LibraryErrorLog.hpp"
#include "core/Report.hpp"
#include "game/VorluneGame.hpp"
#include "net/LinkSimulator.hpp"

// Last: Xlib's macros (None, Status, ...) clash with SFML's names.
#include <X11/Xlib.h>

namespace {
// SFML makes its OpenGL context as soon as the game's textures are
// constructed and aborts the process when there is no X display, so the
// display is looked for before anything of the game exists. The connection
// stays open while the game runs: an X server without -noreset resets when its
// last client leaves, and SFML's own connection would meet that reset.
struct DisplayConnection {
    DisplayConnection() : display(XOpenDisplay(nullptr)) {}
    ~DisplayConnection() {
        if (display) {
            XCloseDisplay(display);
        }
    }
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
    Display* display;
};

// The content folder from the build tree's executable, or from the installed
// one (set by the build to where `cmake --install` puts the content).
#ifndef VORLUNE_INSTALLED_CONTENT
#define VORLUNE_INSTALLED_CONTENT "../share/vorlune/assets"
#endif

// The file that tells the game's content folder from any other.
const char* const contentMarker = "gui/Menu.txt";

bool findContent(const char* argv0) {
    const ContentSearch search = findContentRoot(runningExecutablePath(argv0), std::getenv("VORLUNE_CONTENT"),
                                                 VORLUNE_INSTALLED_CONTENT, contentMarker);
    if (search.root.empty()) {
        std::string looked;
        for (const std::string& folder : search.looked) {
            looked += (looked.empty() ? "" : ", ") + folder;
        }
        reportProblem("vorlune: no game content found (looked for %s in %s); set VORLUNE_CONTENT to the "
                      "content folder",
                      contentMarker, looked.c_str());
        return false;
    }
    setContentRoot(search.root);
    return true;
}
} // namespace

// Opens the 1920 x 1080 "Vorlune" window and plays until it is closed; the
// command line may ask for a computer player, a demo, fast or undrawn runs,
// a recording or a replay (see LaunchOptions). Content is found beside the
// executable, in the installed data folder or where VORLUNE_CONTENT points,
// whatever the working directory. Exit codes: 0 after a normal run, 1 when
// there is no content, no display or the window could not be created, 2 for a
// bad command line or an unusable replay or recording file, 3 when the demo's
// match did not end, the soak found a problem or a replay ended before the
// frame --until asked for.
int main(int argc, char** argv) {
    // The library's errors, from any thread, each printed once.
    const LibraryErrorLog libraryErrors(stderr);
    // A closed pipe (a sound backend writing to one, standard output piped
    // into a pager that quit) fails that write; it must not end the game.
    std::signal(SIGPIPE, SIG_IGN);
    LaunchOptions options;
    if (!readCommandLine(argc, argv, options)) {
        return 2;
    }
    net::LinkShape shape;
    std::string problem;
    if (!options.netSim.empty() && !net::parseLinkShape(options.netSim, shape, problem)) {
        const std::string program = argc > 0 ? argv[0] : "vorlune";
        reportProblem("%s: --net-sim: %s; %s", program.c_str(), problem.c_str(),
                      launchUsage(program).c_str());
        return 2;
    }
    if (!findContent(argc > 0 ? argv[0] : nullptr)) {
        return 1;
    }
    const DisplayConnection connection;
    if (!connection.display) {
        reportProblem("vorlune: no display to open the window on; on a machine without one, run it as "
                      "xvfb-run -a -s \"-screen 0 1920x1080x24\" ./vorlune");
        return 1;
    }
    VorluneGame game;
    const int code = game.run(options);
    return code == 0 && game.demoFailed() ? 3 : code;
}
