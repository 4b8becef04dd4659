#include "common/PrivateDisplay.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
pid_t runningServer = -1;

// Registered before the graphics library makes its globals, so it runs after
// they have closed their display connections; stops and reaps the server.
void stopServer() {
    if (runningServer > 0) {
        kill(runningServer, SIGTERM);
        waitpid(runningServer, nullptr, 0);
        runningServer = -1;
    }
}
} // namespace

PrivateDisplay::PrivateDisplay(const std::string& screen) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        problem = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    // Made before the fork: the child only calls what is safe after one.
    const std::string depth = screen + "x24";
    const pid_t child = fork();
    if (child < 0) {
        problem = std::string("fork: ") + std::strerror(errno);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return;
    }
    if (child == 0) {
        // Should the test process die without stopping the server, the
        // server goes too.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == 1) {
            _exit(0);
        }
        // The server picks a free display number and writes it to the pipe.
        close(pipeEnds[0]);
        const std::string fd = std::to_string(pipeEnds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", depth.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    server = child;

    std::string number;
    pollfd readable{pipeEnds[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, 10000) > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(pipeEnds[0]);
    if (number.empty()) {
        problem = "Xvfb did not report a display";
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
        return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    runningServer = server;
    std::atexit(stopServer);
}
