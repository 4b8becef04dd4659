#include "app/LaunchOptions.hpp"

#include <string>

#include "core/Report.hpp"

namespace {
// About 19 days of game time.
constexpr long long maxSoakFrames = 100000000;
constexpr long long maxFrameLimit = 999999999;

// A count of frames from 1 to `most` written as plain digits, or 0 when the
// word is anything else: a conversion alone would take a sign, blanks or a
// trailing word.
long long frameCount(const std::string& word, long long most) {
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    const long long count = std::stoll(word);
    return count <= most ? count : 0;
}

// A frame number from 0 to `most` written as plain digits; false for anything else.
bool frameNumber(const std::string& word, long long most, unsigned long& number) {
    if (word == "0") {
        number = 0;
        return true;
    }
    const long long count = frameCount(word, most);
    number = static_cast<unsigned long>(count);
    return count > 0;
}

// "ADDRESS:PORT" (or, when `addressOptional`, a bare "PORT"); the port 0 .. 65535.
bool readEndpoint(const std::string& word, bool addressOptional, std::string& address, unsigned short& port) {
    const size_t colon = word.rfind(':');
    if (colon == std::string::npos && !addressOptional) {
        return false;
    }
    const std::string portWord = colon == std::string::npos ? word : word.substr(colon + 1);
    address = colon == std::string::npos ? "" : word.substr(0, colon);
    if ((colon != std::string::npos && address.empty()) || portWord.empty() || portWord.size() > 5 ||
        portWord.find_first_not_of("0123456789") != std::string::npos || std::stol(portWord) > 65535) {
        return false;
    }
    port = static_cast<unsigned short>(std::stol(portWord));
    return true;
}
} // namespace

std::string launchUsage(const std::string& program) {
    return "usage: " + program +
           " [--fast] [--no-draw] [--record FILE] [--replay FILE [--until F]] [--sync-test N] [--player2 "
           "person|computer] "
           "[--demo "
           "[--shots DIR]] [--soak FRAMES] [--frames N] [--config DIR] [--arena NAME] [--host [ADDRESS:]PORT "
           "| "
           "--join ADDRESS:PORT] [--net-sim delay=MS,jitter=MS,loss=PERCENT,duplicate=PERCENT,seed=N] "
           "[--lives "
           "N|unlimited] [--seed N] [--draw-rate FPS] [--nudge FRAME]";
}

bool parseLaunchOptions(int argc, const char* const* argv, LaunchOptions& options, std::string& problem) {
    // Parsed into a copy, so that a bad command line leaves nothing half set.
    LaunchOptions parsed;
    bool fastSeen = false, noDrawSeen = false, demoSeen = false, player2Seen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i] ? argv[i] : "";
        if (option == "--fast" || option == "--no-draw") {
            bool& seen = option == "--fast" ? fastSeen : noDrawSeen;
            if (seen) {
                problem = "option " + option + " given twice";
                return false;
            }
            seen = true;
            (option == "--fast" ? parsed.fast : parsed.noDraw) = true;
        } else if (option == "--demo") {
            if (demoSeen) {
                problem = "option --demo given twice";
                return false;
            }
            demoSeen = parsed.demo = true;
        } else if (option == "--soak") {
            const std::string count = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (parsed.soakFrames > 0) {
                problem = "option --soak given twice";
                return false;
            }
            const long long frames = frameCount(count, maxSoakFrames);
            if (frames == 0) {
                problem = "option --soak needs a number of frames from 1 to " + std::to_string(maxSoakFrames);
                return false;
            }
            parsed.soakFrames = static_cast<int>(frames);
            ++i;
        } else if (option == "--player2") {
            const std::string who = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (player2Seen) {
                problem = "option --player2 given twice";
                return false;
            }
            if (who != "person" && who != "computer") {
                problem = "option --player2 needs 'person' or 'computer'";
                return false;
            }
            player2Seen = true;
            parsed.player2Computer = who == "computer";
            ++i;
        } else if (option == "--frames") {
            if (parsed.frameLimit != 0) {
                problem = "option --frames given twice";
                return false;
            }
            const std::string count = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            const long long frames = frameCount(count, maxFrameLimit);
            if (frames == 0) {
                problem = "option --frames needs a whole number of frames from 1 to " +
                          std::to_string(maxFrameLimit);
                return false;
            }
            parsed.frameLimit = static_cast<unsigned long>(frames);
            ++i;
        } else if (option == "--sync-test") {
            const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (parsed.syncTestDepth != 0 || word.size() != 1 || word[0] < '1' || word[0] > '8') {
                problem = "option --sync-test needs a number of frames from 1 to 8, once";
                return false;
            }
            parsed.syncTestDepth = word[0] - '0';
            ++i;
        } else if (option == "--until") {
            const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (parsed.until || !frameNumber(word, maxFrameLimit, parsed.untilFrame)) {
                problem = "option --until needs a frame number from 0 to " + std::to_string(maxFrameLimit) +
                          ", once";
                return false;
            }
            parsed.until = true;
            ++i;
        } else if (option == "--host" || option == "--join") {
            const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (parsed.online()) {
                problem = "give one of --host and --join, once";
                return false;
            }
            const bool hosting = option == "--host";
            if (!readEndpoint(word, hosting, hosting ? parsed.hostAddress : parsed.joinAddress,
                              hosting ? parsed.hostPort : parsed.joinPort) ||
                (!hosting && parsed.joinPort == 0)) {
                problem = hosting ? "option --host needs a port (0 for a free one), optionally ADDRESS:PORT"
                                  : "option --join needs ADDRESS:PORT";
                return false;
            }
            (hosting ? parsed.hosting : parsed.joining) = true;
            ++i;
        } else if (option == "--net-sim") {
            const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (!parsed.netSim.empty() || word.empty() || word.rfind("--", 0) == 0) {
                problem = parsed.netSim.empty() ? "option --net-sim needs its settings"
                                                : "option --net-sim given twice";
                return false;
            }
            parsed.netSim = word;
            ++i;
        } else if (option == "--lives") {
            const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            const long long lives = word == "unlimited" ? 10 : frameCount(word, 9);
            if (parsed.lives != 0 || lives == 0) {
                problem = parsed.lives != 0 ? "option --lives given twice"
                                            : "option --lives needs 1 to 9 or 'unlimited'";
                return false;
            }
            parsed.lives = static_cast<int>(lives);
            ++i;
        } else if (option == "--draw-rate" || option == "--nudge" || option == "--seed") {
            if (option == "--seed") {
                const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
                const long long seed = frameCount(word, maxFrameLimit);
                if (parsed.matchSeed != 0 || seed == 0) {
                    problem = "option --seed needs a whole number from 1 to " +
                              std::to_string(maxFrameLimit) + ", once";
                    return false;
                }
                parsed.matchSeed = static_cast<unsigned long>(seed);
                ++i;
                continue;
            }
            const bool drawRate = option == "--draw-rate";
            const std::string word = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            const long long value = frameCount(word, drawRate ? 240 : maxFrameLimit);
            if ((drawRate ? parsed.drawRate != 0 : parsed.nudgeFrame != 0) || value == 0) {
                problem =
                    "option " + option +
                    (drawRate ? " needs 1 to 240 frames a second, once" : " needs a frame number, once");
                return false;
            }
            if (drawRate) {
                parsed.drawRate = static_cast<int>(value);
            } else {
                parsed.nudgeFrame = static_cast<unsigned long>(value);
            }
            ++i;
        } else if (option == "--record" || option == "--replay" || option == "--shots" ||
                   option == "--config" || option == "--arena") {
            std::string& path = option == "--record"   ? parsed.recordPath
                                : option == "--replay" ? parsed.replayPath
                                : option == "--shots"  ? parsed.shotsPath
                                : option == "--arena"  ? parsed.arena
                                                       : parsed.configPath;
            if (!path.empty()) {
                problem = "option " + option + " given twice";
                return false;
            }
            // An option in the place of the file name means the name is missing.
            const std::string next = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (next.empty() || next.rfind("--", 0) == 0) {
                problem = "option " + option +
                          (option == "--shots" || option == "--config" ? " needs a folder name"
                           : option == "--arena"                       ? " needs an arena's name"
                                                                       : " needs a file name");
                return false;
            }
            path = next;
            ++i;
        } else {
            problem = "unknown option '" + option + "'";
            return false;
        }
    }
    // Reading and writing one file at once would overwrite the recording
    // while it is being played.
    if (!parsed.recordPath.empty() && parsed.recordPath == parsed.replayPath) {
        problem = "--record and --replay name the same file";
        return false;
    }
    if (parsed.soakFrames > 0 && parsed.demo) {
        problem = "--soak and --demo are two different runs";
        return false;
    }
    // A replay or a soak plays by itself; an online match needs the other side.
    if (parsed.online() && (!parsed.replayPath.empty() || parsed.soakFrames > 0)) {
        problem = "--host and --join do not go with --replay or --soak";
        return false;
    }
    if (((parsed.lives != 0 || parsed.matchSeed != 0) && !parsed.hosting) ||
        (parsed.nudgeFrame != 0 && !parsed.online()) || (!parsed.netSim.empty() && !parsed.online())) {
        problem = "--lives and --seed need --host; --net-sim and --nudge need --host or --join";
        return false;
    }
    // Online, the other side's frames cannot be played again.
    if (parsed.syncTestDepth != 0 && parsed.online()) {
        problem = "--sync-test does not go with --host or --join";
        return false;
    }
    // The match is played from the recording alone, and only up to that frame.
    if (parsed.until &&
        (parsed.replayPath.empty() || parsed.demo || parsed.soakFrames > 0 || parsed.frameLimit != 0)) {
        problem = "--until needs --replay, and goes with neither --demo, --soak nor --frames";
        return false;
    }
    if (parsed.until) {
        parsed.fast = parsed.noDraw = true;
    }
    if (!parsed.shotsPath.empty() && !parsed.demo) {
        problem = "--shots is only for --demo";
        return false;
    }
    options = parsed;
    return true;
}

bool readCommandLine(int argc, const char* const* argv, LaunchOptions& options) {
    std::string problem;
    if (parseLaunchOptions(argc, argv, options, problem)) {
        return true;
    }
    const std::string program = argc > 0 && argv[0] ? argv[0] : "vorlune";
    reportProblem("%s: %s; %s", program.c_str(), problem.c_str(), launchUsage(program).c_str());
    return false;
}
