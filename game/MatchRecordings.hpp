#pragma once

#include <string>

#include "game/PlayerSetup.hpp"

// Where the run keeps the recording of the local match played last, so that
// the victory screen can show it again: a folder of the run's own in the
// temporary folder, made on first use and open to this user alone, one new
// file in it per match (created only where nothing is, never through a file
// or link someone put there), the match before's file removed. The folder
// goes, with what it holds, when the run ends.
class MatchRecordings {
public:
    MatchRecordings() = default;
    ~MatchRecordings();
    MatchRecordings(const MatchRecordings&) = delete;
    MatchRecordings& operator=(const MatchRecordings&) = delete;

    // A new file's path for the match starting now; the last one is
    // forgotten. Empty, with one line printed, when no folder could be made.
    std::string next();
    // The recording begun last is complete: its match ended with a winner.
    void finished() { complete = !current.empty(); }
    // Nothing can be watched (a match left before its end, an online match).
    void forget();
    // The complete recording of the last match, else empty.
    std::string watchable() const { return complete ? current : std::string(); }

private:
    std::string folder;
    std::string current;
    bool complete = false;
    int made = 0;
};

// A local match's start line in its recording: "local lives=N arena=KEY
// players=XY", X and Y each "p" (a person) or "c" (the computer) for players
// 1 and 2.
std::string localMatchStart(const PlayerSetup& setup);
// Reads a line made by localMatchStart into `setup` (its lives, arena and
// computer players). False, changing nothing, for any other line.
bool readLocalMatchStart(const std::string& line, PlayerSetup& setup);
