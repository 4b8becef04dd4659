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
} // namespace

std::string launchUsage(const std::string& program) {
    return "usage: " + program +
           " [--fast] [--no-draw] [--record FILE] [--replay FILE] [--player2 person|computer] [--demo "
           "[--shots DIR]] [--soak FRAMES] [--frames N] [--config DIR] [--arena NAME]";
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
