#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the menu's "Online" page and the victory screen ask of the game's
// online play. Every member may be empty (the game has none to offer).
struct OnlineMenuActions {
    // Host on the port (0: any free one) or join the host; false when it
    // could not start (the status line says why).
    std::function<bool(uint16_t port)> host;
    std::function<bool(const std::string& address, uint16_t port)> join;
    // Ends the session, whatever it was doing.
    std::function<void()> cancel;
    // One line: waiting, connecting (to whom, for how long), connected with
    // the input delay and round trip, or why it ended.
    std::function<std::string()> status;
    // Whether a join is under way (connecting, or waiting for the host's start).
    std::function<bool()> joining;
    // The victory screen: true when the match was online and the other side
    // was asked for a rematch (or told that this side leaves), so that the
    // screen does nothing on its own.
    std::function<bool()> rematch;
    std::function<bool()> leave;
};
