#pragma once

#include <string>

// Where the matches of an online session are recorded: each under a name of
// its own, so that a rematch never writes over the match before it.
namespace onlineRecordings {

// Tries at most this many names in the temporary folder before giving up.
constexpr int mostTries = 1000;

// The file a session's match is recorded in when the player chose `chosen`
// (`--record FILE`): FILE for the first match (1), then FILE-2, FILE-3, ...
// with the number before the extension.
std::string chosenFor(const std::string& chosen, int match);

// The `attempt`-th name (1 first) in `folder` for one side ("host" or
// "guest"): FOLDER/vorlune-online-SIDE-ATTEMPT.replay. The temporary folder is
// shared, so such a file is only ever created new: a name already taken, by
// an earlier match or by someone else, is passed over for the next.
std::string inFolder(const std::string& folder, const std::string& side, int attempt);

} // namespace onlineRecordings
