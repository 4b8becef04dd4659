// Online matches played with pads: the host and the guest are two processes
// of their own, forked from the case, each the real game with an SDL virtual
// pad plugged into it, talking over 127.0.0.1. Each side's script acts on its
// own pad (and keys) by the match's frame; both sides must play the very same
// frames and end with the same line.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "app/GuiManager.hpp"
#include "common/KeyEvents.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "common/VirtualPads.hpp"
#include "game/TracingGame.hpp"
#include "widgets/Label.hpp"

namespace {
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char* const matchOverLine = "online match over: winner [0-9], frame [0-9]+, state [0-9A-F]{8}";
// A match that never ends by its rules is cut off here.
constexpr unsigned mostMatchFrames = 3000;

// What a side's script works with in one match frame.
struct SideFrame {
    unsigned frame = 0;
    VirtualPad& pad;
    TracingGame& game;
    // What the side saw of its own pages, for the case to read.
    std::vector<std::string>& notes;
};

// One side: the game traces its frames (state and every player's place) and
// notes what its script asks of it; it lingers a little after the match so
// that the other side gets its last inputs, then ends.
class OnlineSide : public TracingGame {
public:
    void onUpdate(float delta, float time) override {
        TracingGame::onUpdate(delta, time);
        if (!pad) {
            // SDL's pads are started by now.
            pad = std::make_unique<VirtualPad>(padName, 0x1209, padProduct);
        }
        const std::string state = StateManager::instance().currentName();
        if (state == "Arena" && matchFrame < mostMatchFrames) {
            script(SideFrame{matchFrame++, *pad, *this, notes});
        } else if (matchFrame > 0 && !endsAt) {
            endsAt = Clock::now() + 2s;
        }
        if ((endsAt && Clock::now() > *endsAt) || matchFrame >= mostMatchFrames) {
            window.close();
        }
    }

    std::string padName;
    uint16_t padProduct = 0;
    std::function<void(const SideFrame&)> script;
    std::unique_ptr<VirtualPad> pad;
    unsigned matchFrame = 0;
    std::optional<Clock::time_point> endsAt;
    std::vector<std::string> notes;
};

struct SideFiles {
    std::string output, trace, notes, recording;
};

SideFiles filesOf(const std::string& folder, const std::string& side) {
    return {folder + "/" + side + ".txt", folder + "/" + side + "-trace.txt",
            folder + "/" + side + "-notes.txt", folder + "/" + side + ".replay"};
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path);
    for (const auto& line : lines) {
        out << line << '\n';
    }
}

// Forks a side: its standard output and error go to `files.output`.
pid_t startSide(const SideFiles& files, LaunchOptions options, const std::string& padName, uint16_t product,
                const std::function<void(const SideFrame&)>& script) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    const int out = ::open(files.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, 1);
    ::dup2(out, 2);
    OnlineSide side;
    side.title = "Vorlune online pads";
    side.padName = padName;
    side.padProduct = product;
    side.script = script;
    options.fast = true;
    options.noDraw = true;
    options.recordPath = files.recording;
    const int code = side.run(options);
    std::vector<std::string> arena;
    for (const auto& line : side.trace) {
        if (line.rfind("Arena", 0) == 0) {
            arena.push_back(line);
        }
    }
    writeLines(files.trace, arena);
    writeLines(files.notes, side.notes);
    std::fflush(stdout);
    _exit(code);
}

std::string firstMatch(const std::string& path, const std::string& pattern) {
    std::smatch found;
    const std::string text = readWholeFile(path);
    if (!std::regex_search(text, found, std::regex(pattern))) {
        return "";
    }
    return found.size() > 1 ? found[1].str() : found[0].str();
}

// The exit code of a side that ended within the limit; -1 otherwise (it is killed then).
int waitForSide(pid_t child, std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (Clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(50ms);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

// Where a player is in a traced frame ("Arena Player1 x y turn ...").
sf::Vector2f placeIn(const std::string& line, int player) {
    std::istringstream words(line);
    const std::string name = "Player" + std::to_string(player);
    for (std::string word; words >> word;) {
        if (word == name) {
            std::string x, y;
            words >> x >> y;
            return {std::strtof(x.c_str(), nullptr), std::strtof(y.c_str(), nullptr)};
        }
    }
    ADD_FAILURE() << name << " not in " << line;
    return {};
}

struct PlayedMatch {
    SideFiles host, guest;
    std::vector<std::string> hostTrace, guestTrace, hostNotes, guestNotes;
    std::string hostLine, guestLine;

    sf::Vector2f at(unsigned frame, int player) const {
        return frame < hostTrace.size() ? placeIn(hostTrace[frame], player) : sf::Vector2f();
    }
    // The highest the player got (least y) in the frames [from, to).
    float highest(unsigned from, unsigned to, int player) const {
        float top = at(from, player).y;
        for (unsigned frame = from; frame < to && frame < hostTrace.size(); ++frame) {
            top = std::min(top, at(frame, player).y);
        }
        return top;
    }
};

// Hosts in one process and joins in another, each side playing its script.
void playOnline(const std::string& name, int lives, const std::function<void(const SideFrame&)>& hostScript,
                const std::function<void(const SideFrame&)>& guestScript, PlayedMatch& played) {
    const std::string folder =
        std::filesystem::path(testOutputPath(name + "/host.txt")).parent_path().string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    played.host = filesOf(folder, "host");
    played.guest = filesOf(folder, "guest");

    LaunchOptions hosting;
    hosting.hosting = true;
    hosting.hostAddress = "127.0.0.1";
    hosting.lives = lives;
    hosting.matchSeed = 7;
    const pid_t host = startSide(played.host, hosting, "Pad Host", 0x00A1, hostScript);
    ASSERT_GT(host, 0);
    std::string port;
    for (const auto deadline = Clock::now() + 30s; port.empty() && Clock::now() < deadline;) {
        std::this_thread::sleep_for(50ms);
        port = firstMatch(played.host.output, "hosting on port ([0-9]+)");
    }
    if (port.empty()) {
        waitForSide(host, 1s);
        FAIL() << "the host did not start\n" << readWholeFile(played.host.output);
    }
    LaunchOptions joining;
    joining.joining = true;
    joining.joinAddress = "127.0.0.1";
    joining.joinPort = static_cast<unsigned short>(std::stoi(port));
    const pid_t guest = startSide(played.guest, joining, "Pad Guest", 0x00B2, guestScript);
    ASSERT_GT(guest, 0);
    const int guestCode = waitForSide(guest, 120s);
    const int hostCode = waitForSide(host, 20s);
    EXPECT_EQ(hostCode, 0) << readWholeFile(played.host.output);
    EXPECT_EQ(guestCode, 0) << readWholeFile(played.guest.output);

    played.hostTrace = readLines(played.host.trace);
    played.guestTrace = readLines(played.guest.trace);
    played.hostNotes = readLines(played.host.notes);
    played.guestNotes = readLines(played.guest.notes);
    played.hostLine = firstMatch(played.host.output, matchOverLine);
    played.guestLine = firstMatch(played.guest.output, matchOverLine);
    ASSERT_FALSE(played.hostLine.empty()) << readWholeFile(played.host.output);
    EXPECT_EQ(played.guestLine, played.hostLine) << readWholeFile(played.guest.output);
    ASSERT_FALSE(played.hostTrace.empty());
    ASSERT_EQ(played.hostTrace.size(), played.guestTrace.size());
    for (size_t frame = 0; frame < played.hostTrace.size(); ++frame) {
        ASSERT_EQ(played.hostTrace[frame], played.guestTrace[frame]) << "first difference at frame " << frame;
    }
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Holds the button from `from` for `frames` frames.
void pressBetween(const SideFrame& now, unsigned from, unsigned frames, int button) {
    if (now.frame == from) {
        now.pad.setButton(button, true);
    } else if (now.frame == from + frames) {
        now.pad.setButton(button, false);
    }
}
} // namespace

// Player 1 (the host's pad) jumps by its bottom button, runs by the stick,
// opens and closes the pause page by start (the match goes on meanwhile),
// jumps again by a tapped key, and walks off the arena's left edge by the
// d-pad; player 2 (the guest's pad) jumps, runs, rests on a drifting stick,
// and runs back by the d-pad. One life each: player 2 wins, on both sides.
TEST(OnlinePads, AMatchPlayedWithAPadOnEachSideEndsAlikeOnBothSides) {
    PlayedMatch played;
    const auto host = [](const SideFrame& now) {
        if (now.frame == 2) {
            now.pad.plugIn();
        }
        pressBetween(now, 10, 3, SDL_CONTROLLER_BUTTON_A);
        if (now.frame == 40) {
            now.pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.8f);
        } else if (now.frame == 100) {
            now.pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.0f);
        }
        pressBetween(now, 110, 2, SDL_CONTROLLER_BUTTON_START);
        pressBetween(now, 120, 2, SDL_CONTROLLER_BUTTON_START);
        if (now.frame > 110 && now.frame < 130 && GuiManager::instance().isVisible("pause")) {
            now.notes.push_back("pause " + std::to_string(now.frame));
        }
        // A press and release between two frames: the key is never held when sampled.
        if (now.frame == 150) {
            now.game.queueGuiEvent(keys::pressed(sf::Keyboard::Space));
            now.game.queueGuiEvent(keys::released(sf::Keyboard::Space));
        }
        if (now.frame == 200) {
            now.pad.setButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        }
    };
    const auto guest = [](const SideFrame& now) {
        if (now.frame == 2) {
            now.pad.plugIn();
        }
        pressBetween(now, 10, 3, SDL_CONTROLLER_BUTTON_A);
        if (now.frame == 40) {
            now.pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.8f);
        } else if (now.frame == 80) {
            // 1% drift of a resting stick.
            now.pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.01f);
        } else if (now.frame == 150) {
            now.pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.0f);
        }
        // Not so far as to run off the arena's right edge.
        pressBetween(now, 160, 10, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    };
    ASSERT_NO_FATAL_FAILURE(playOnline("online-pads-match", 1, host, guest, played));
    EXPECT_NE(played.hostLine.find("winner 2"), std::string::npos) << played.hostLine;

    const float ground1 = played.at(10, 1).y;
    EXPECT_LT(played.highest(10, 40, 1), ground1 - 20.0f) << "player 1 jumped by the pad's bottom button";
    EXPECT_GT(played.at(100, 1).x - played.at(40, 1).x, 100.0f) << "player 1 ran right by the stick";
    EXPECT_TRUE(has(played.hostNotes, "pause 115")) << "start opened the pause page on the host";
    EXPECT_FALSE(has(played.hostNotes, "pause 128")) << "and closed it";
    EXPECT_LT(played.highest(150, 180, 1), played.at(150, 1).y - 20.0f)
        << "the tapped key made player 1 jump";
    EXPECT_LT(played.at(260, 1).x, played.at(200, 1).x - 100.0f) << "player 1 walked left by the d-pad";

    const float ground2 = played.at(10, 2).y;
    EXPECT_LT(played.highest(10, 40, 2), ground2 - 20.0f) << "player 2 jumped by the pad's bottom button";
    EXPECT_LT(played.at(80, 2).x, played.at(40, 2).x - 60.0f) << "player 2 ran left by the stick";
    EXPECT_NEAR(played.at(110, 2).x, played.at(150, 2).x, 0.5f) << "a drifting stick moves nobody";
    EXPECT_GT(played.at(195, 2).x, played.at(160, 2).x + 40.0f) << "player 2 ran right by the d-pad";

    // The tap went through the lockstep into the host's recording as a press
    // seen only between two frames: Player1 Jump's digit is 2 in some frame.
    const std::vector<std::string> recording = readLines(played.host.recording);
    const auto jumpColumn = std::find(recording.begin(), recording.end(), "action Player1 Jump");
    ASSERT_NE(jumpColumn, recording.end());
    const auto column = static_cast<size_t>(std::count_if(
        recording.begin(), jumpColumn, [](const auto& line) { return line.rfind("action ", 0) == 0; }));
    const bool tapRecorded = std::any_of(recording.begin(), recording.end(), [&](const std::string& line) {
        const size_t digits = line.find(' ', 2) + 1;
        return line.rfind("f ", 0) == 0 && digits + column < line.size() && line[digits + column] == '2';
    });
    EXPECT_TRUE(tapRecorded);
}

// The guest's pad is pulled out while its stick is pushed, and plugged back
// in: the guest shows the lost-pad page while both games run on with player 2
// released, and player 2 runs again once the pad is back.
TEST(OnlinePads, APadUnpluggedAndPluggedBackMidMatchEndsAlikeOnBothSides) {
    PlayedMatch played;
    const auto host = [](const SideFrame& now) {
        if (now.frame == 2) {
            now.pad.plugIn();
        }
        pressBetween(now, 10, 2, SDL_CONTROLLER_BUTTON_A);
        // Off the left edge once the guest's story is told.
        if (now.frame == 260) {
            now.pad.setButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        }
    };
    const auto guest = [](const SideFrame& now) {
        if (now.frame == 2) {
            now.pad.plugIn();
        }
        pressBetween(now, 10, 2, SDL_CONTROLLER_BUTTON_A);
        if (now.frame == 40) {
            now.pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.8f);
        } else if (now.frame == 60) {
            now.pad.unplug();
        } else if (now.frame == 150) {
            now.pad.plugIn();
        }
        pressBetween(now, 180, 30, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        if (GuiManager::instance().isVisible("padLost")) {
            now.notes.push_back("lost " + std::to_string(now.frame));
            const auto message = GuiManager::instance().getWidget<widgets::Label>("padLost", "Message");
            now.notes.push_back(message ? message->getText() : "no message");
        }
    };
    ASSERT_NO_FATAL_FAILURE(playOnline("online-pads-lost", 1, host, guest, played));
    EXPECT_NE(played.hostLine.find("winner 2"), std::string::npos) << played.hostLine;

    EXPECT_TRUE(has(played.guestNotes, "lost 100")) << "the guest shows its lost pad";
    // The guest plays player 2 by whichever pad slot: the page names no slot.
    EXPECT_TRUE(has(played.guestNotes, "Your pad is disconnected"));
    EXPECT_FALSE(has(played.guestNotes, "lost 170")) << "until it is back";
    EXPECT_TRUE(played.hostNotes.empty());
    EXPECT_LT(played.at(60, 2).x, played.at(40, 2).x - 20.0f) << "player 2 ran left by the stick";
    EXPECT_NEAR(played.at(100, 2).x, played.at(150, 2).x, 0.5f)
        << "player 2 is released while its pad is lost";
    EXPECT_LT(played.at(215, 2).x, played.at(180, 2).x - 40.0f) << "and runs again once it is back";

    // The pad's going and coming are in the guest's recording, and it plays
    // back offline to the very frames both sides played.
    const std::vector<std::string> recording = readLines(played.guest.recording);
    EXPECT_TRUE(has(recording, "g padlost 0"));
    EXPECT_TRUE(has(recording, "g padback 0"));
    TracingGame replayed;
    LaunchOptions options = fastUndrawn();
    options.replayPath = played.guest.recording;
    ASSERT_EQ(replayed.run(options), 0);
    std::vector<std::string> arena;
    for (const auto& line : replayed.trace) {
        if (line.rfind("Arena", 0) == 0) {
            arena.push_back(line);
        }
    }
    ASSERT_EQ(arena.size(), played.guestTrace.size());
    for (size_t frame = 0; frame < arena.size(); ++frame) {
        ASSERT_EQ(arena[frame], played.guestTrace[frame]) << "first difference at frame " << frame;
    }
}
