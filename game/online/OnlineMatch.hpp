#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include <SFML/Graphics/RenderTarget.hpp>

#include "app/SimulationGate.hpp"
#include "game/PlayerSetup.hpp"
#include "net/OnlineSession.hpp"

class Game;
class InputBackend;
class OnlineInputBackend;

// This machine's side of online play: the session with the other game, and
// the matches played over it in lockstep.
//
// Before a match it runs beside the menu (`update` each frame) and paces the
// loop as a gate that lets every due frame through, looking at the network
// every few milliseconds between them: it waits for a guest or joins a host,
// and when the handshake is done it starts the match
// at the end of the frame: the host's seed, its rules, the arena, and the
// players' input from the lockstep. During the match it is the loop's
// SimulationGate: frame k runs only once both players' inputs for it are
// here, each frame exactly one fixed step, paced to 60 a second by the wall
// clock (back to back with `fastPacing`); the wall clock decides only when,
// never what. Every 30 frames it sends a checksum of the match; a mismatch,
// the other side leaving or being silent for `gaveUpAfter`, or this side
// leaving ends the match for both, back on the menu with one line saying
// why; a side that hears the other has gone first plays the frames whose
// inputs both came. Each match is recorded in a file of its own (the replay
// format, starting with "start online lives=N"; its path is printed) and
// replays offline to the same checksums.
//
// At the end of every match it prints `online match over: winner N, frame F,
// state XXXXXXXX` (winner 0 when it did not end by its rules; the last
// checksum in hex).
class OnlineMatch : public SimulationGate {
public:
    struct Settings {
        // The computer plays this machine's player, and the program ends after one match.
        bool demo = false;
        // Frames back to back, as fast as the inputs come, instead of 60 a second.
        bool fastPacing = false;
        // Where the first match is recorded, the next ones beside it with a
        // number (empty: new files in the temporary folder; see onlineRecordings).
        std::string recordPath;
        // A test switch: after this frame, one body moves on this side only (0: never).
        unsigned long nudgeFrame = 0;
        // Hosting: lives per player for the rules (0: the setup's; over 9: unlimited)
        // and the seed (0: the run's own).
        int lives = 0;
        uint32_t seed = 0;
        net::LinkShape link;
    };

    // Seconds without the other side's input before "waiting for the other
    // player" shows, and before the match is given up.
    static constexpr double waitNoticeAfter = 0.75;
    static constexpr double gaveUpAfter = 5.0;

    // `game` and `setup` are observed and outlive the match.
    OnlineMatch(Game& game, std::shared_ptr<PlayerSetup> setup, Settings settings);
    ~OnlineMatch() override;
    OnlineMatch(const OnlineMatch&) = delete;
    OnlineMatch& operator=(const OnlineMatch&) = delete;

    // Hosts (prints "hosting on port N") or joins; false with one line printed.
    bool host(const std::string& address, uint16_t port);
    bool join(const std::string& address, uint16_t port);
    // Why the last host or join could not start ("" when it started).
    const std::string& startProblem() const { return failedStart; }

    // Every frame from the game's update hook. Outside a match: the network
    // and the start of the next match. During a match's frame (after the
    // scene's update): the nudge and the checksum.
    void update();
    // The status over the picture: during a match a line with the input
    // delay and round trip, and the waiting notice; before one, the state.
    void draw(sf::RenderTarget& target, const sf::View& pictureView) const;

    bool inMatch() const { return matchOn; }
    // One line for the menu: waiting, connecting, connected (delay, round trip), or why it ended.
    // While joining: "connecting to ADDRESS:PORT… N s", the whole seconds since the join began.
    std::string statusLine() const;
    // A join under way: connecting, or connected and waiting for the host to start the match.
    bool joining() const;
    // The victory screen's rematch: asked of the other side; the host starts
    // it once both asked. False when no online match was just played.
    bool askRematch();
    // Leaves the session after a match (the other side hears it). False
    // when no online match was just played.
    bool leave();
    // Whether the session is over (nothing more can be played over it).
    bool closed() const { return session.getPhase() == net::OnlineSession::Phase::closed; }
    // The demo's end: its match finished (true) or was cut short.
    bool demoFailed() const { return failed; }

    bool beginFrame() override;
    void endFrame() override;
    float secondsUntilDue() const override;

private:
    double now() const;
    // Installs this as the loop's gate for the frames before the match.
    void pace();
    // Adds the time since the last look to the pacing budget; whether a frame is due.
    bool takeDueFrame(double time);
    void beginMatch();
    // Records the match under a name of its own (see onlineRecordings); `recording` says where.
    void startMatchRecording(const std::string& start);
    // After a frame the rules ended (a winner) or that something else ended.
    void finishMatch(int winner);
    void abandonMatch(const std::string& why);
    void closeMatch();
    void printFigures() const;
    void checkFrame();

    Game& game;
    std::shared_ptr<PlayerSetup> players;
    Settings settings;
    net::OnlineSession session;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    // The host joined ("ADDRESS:PORT") and when (seconds of `now`).
    std::string joinedHost;
    std::string failedStart;
    double joinedAt = 0.0;
    // From the join until its first match begins.
    bool joinUnderWay = false;

    bool matchOn = false;
    // The pass under way plays a frame of the match (not one before it).
    bool matchFrame = false;
    bool matchQueued = false;
    uint32_t frame = 0;
    PlayerSetup setupBefore;
    std::shared_ptr<InputBackend> devicesBefore;
    std::shared_ptr<OnlineInputBackend> backend;
    std::string recording;
    // Matches begun over this session (the first is 1).
    int matchesBegun = 0;
    // Pacing: seconds of frames due, and when the last pass looked.
    double budget = 0.0;
    double lastPass = 0.0;
    double waitingSince = -1.0;
    double lastResend = 0.0;
    uint32_t lastChecksumFrame = 0;
    uint32_t lastChecksum = 0;
    // After a finished demo match: end once the other side has all our input.
    double demoEndBy = -1.0;
    bool failed = false;
    bool closeReported = false;
    bool rematchNoticed = false;

    // Figures of the match: seconds played and waited, and the CPU seconds
    // online play itself took (network, inputs, checksums).
    double matchStart = 0.0;
    double waitedSeconds = 0.0;
    double ownSeconds = 0.0;
    uint64_t bytesSentAtStart = 0;
    uint64_t bytesReceivedAtStart = 0;
};
