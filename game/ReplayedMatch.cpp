#include "game/ReplayedMatch.hpp"

#include <cstdio>

#include "core/Console.hpp"
#include "game/online/MatchChecksum.hpp"

bool ReplayedMatch::frame(bool inArena) {
    if (!inArena) {
        over = over || started;
        return false;
    }
    if (over) {
        return false;
    }
    started = true;
    const uint32_t index = played++;
    const bool asked = stopsAt && !reached && index == stopFrame;
    if (index % checksumInterval != 0 && !asked) {
        return false;
    }
    const uint32_t now = matchChecksum();
    if (index % checksumInterval == 0) {
        checksum = now;
    }
    if (!asked) {
        return false;
    }
    reached = true;
    char line[48];
    std::snprintf(line, sizeof line, "state at frame %u: %08X", index, now);
    Console::standardOutput().writeLines(line);
    return true;
}

std::string ReplayedMatch::missed() const {
    if (!stopsAt || reached) {
        return "";
    }
    if (!started) {
        return "--until " + std::to_string(stopFrame) + ": the recording holds no match";
    }
    // The last frame that can be asked for.
    return "--until " + std::to_string(stopFrame) +
           (over ? ": the recorded match ends at frame " : ": the recording ends at frame ") +
           std::to_string(played - 1);
}
