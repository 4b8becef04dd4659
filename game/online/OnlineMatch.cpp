#include "game/online/OnlineMatch.hpp"

#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include <box2d/b2_body.h>

#include "app/Game.hpp"
#include "app/GuiManager.hpp"
#include "app/TextLine.hpp"
#include "core/Console.hpp"
#include "core/EventManager.hpp"
#include "core/RandomSource.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "core/input/InputManager.hpp"
#include "game/Arenas.hpp"
#include "game/BuildIdentity.hpp"
#include "game/PlayerNames.hpp"
#include "game/online/ContentChecksum.hpp"
#include "game/online/MatchChecksum.hpp"
#include "game/online/OnlineInputBackend.hpp"
#include "game/online/OnlinePlayerInput.hpp"
#include "game/online/OnlineRecordings.hpp"
#include "game/states/VictoryState.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr double frameSeconds = 1.0 / 60.0;
// Frames of pacing a pass may catch up at most after a slow pass or a wait.
constexpr double mostBudget = 3.0 * frameSeconds;
constexpr uint32_t checksumInterval = 30;
// A finished demo match lets the other side get its last inputs before the
// program ends: as long as the other side would wait for them.
constexpr double demoLinger = OnlineMatch::gaveUpAfter;
// The test switch's nudge (metres).
constexpr float nudgeDistance = 0.01f;

void say(const std::string& line) {
    Console::standardOutput().writeLines(line);
}

// Adds the CPU time of this thread between its making and its end to a
// total: what online play itself costs, however busy the machine is.
class CpuTimer {
public:
    explicit CpuTimer(double& total) : total(total), start(threadSeconds()) {}
    ~CpuTimer() { total += threadSeconds() - start; }
    CpuTimer(const CpuTimer&) = delete;
    CpuTimer& operator=(const CpuTimer&) = delete;

private:
    static double threadSeconds() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
    double& total;
    double start;
};

std::string hex(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

net::OnlineSession::Identity ownIdentity() {
    return {buildIdentity(), contentChecksum("../assets/tilemap")};
}
} // namespace

OnlineMatch::OnlineMatch(Game& running, std::shared_ptr<PlayerSetup> setup, Settings chosen)
    : game(running), players(std::move(setup)), settings(std::move(chosen)),
      session(ownIdentity(), settings.link) {}

OnlineMatch::~OnlineMatch() {
    if (matchOn) {
        closeMatch();
    }
    if (game.simulationGate() == this) {
        game.setSimulationGate(nullptr);
    }
}

double OnlineMatch::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

bool OnlineMatch::host(const std::string& address, uint16_t port) {
    std::string problem;
    if (!session.host(address, port, problem)) {
        failedStart = problem;
        reportProblem("online: %s", problem.c_str());
        return false;
    }
    net::MatchRules rules;
    // A new seed for every hosted match would make two runs differ; the
    // seed of the run keeps a scripted match reproducible.
    rules.seed = settings.seed != 0 ? settings.seed : RandomSource::instance().getSeed();
    const int lives = settings.lives != 0 ? settings.lives : players->livesPerMatch;
    rules.lives = static_cast<uint8_t>(lives > PlayerSetup::mostLives ? PlayerSetup::unlimitedLives : lives);
    // The arena the host played last (a random choice was drawn then).
    rules.arena = arenaByKey(players->matchArena).key;
    session.setRules(rules);
    say("hosting on port " + std::to_string(session.localPort()));
    pace();
    return true;
}

bool OnlineMatch::join(const std::string& address, uint16_t port) {
    std::string problem;
    if (!session.join(address, port, problem)) {
        failedStart = problem;
        reportProblem("online: %s", problem.c_str());
        return false;
    }
    joinedHost = address + ":" + std::to_string(port);
    joinedAt = now();
    joinUnderWay = true;
    say("joining " + joinedHost);
    pace();
    return true;
}

void OnlineMatch::pace() {
    // Until the match, the gate only paces the frames (and looks at the
    // network between them), so that the round trip is measured to a few
    // milliseconds rather than to a frame.
    budget = 0.0;
    lastPass = now();
    game.setSimulationGate(this);
}

void OnlineMatch::update() {
    if (matchOn) {
        checkFrame();
        return;
    }
    const double time = now();
    session.service(time);
    // The other side's words (its build, its reason) are printed as one line, whatever they hold.
    const std::string notice = asOneLine(session.takeNotice());
    if (!notice.empty()) {
        say(notice);
        game.showNotice(notice);
    }
    // Between matches and after the session the loop keeps its own clock.
    if (game.simulationGate() == this &&
        (session.getPhase() == net::OnlineSession::Phase::between || closed())) {
        game.setSimulationGate(nullptr);
    }
    // The other side may still miss our last frames of the match just played.
    if (session.getPhase() == net::OnlineSession::Phase::between && time - lastResend >= frameSeconds) {
        session.resendInputs(time);
        lastResend = time;
    }
    if (session.otherAskedRematch() && !rematchNoticed) {
        rematchNoticed = true;
        game.showNotice("the other player wants a rematch");
    }
    if (session.takeMatchStart() && !matchQueued) {
        rematchNoticed = false;
        // The switch to the arena waits for the end of the frame, as every switch from the menu does.
        matchQueued = true;
        EventManager::instance().invokeLater([this] { beginMatch(); });
    }
    if (closed() && !closeReported) {
        closeReported = true;
        reportProblem("online: %s", session.endReason().c_str());
        game.showNotice(asOneLine(session.endReason()));
        // A demo whose match was played to its end has nothing left to wait for.
        if (settings.demo) {
            failed = demoEndBy < 0.0;
            demoEndBy = time;
        }
    }
    if (demoEndBy >= 0.0 && (time >= demoEndBy || session.confirmedByOther() > frame)) {
        demoEndBy = -1.0;
        EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
    }
}

void OnlineMatch::beginMatch() {
    matchQueued = false;
    joinUnderWay = false;
    if (session.getPhase() != net::OnlineSession::Phase::playing) {
        return;
    }
    const net::MatchRules& rules = session.getRules();
    const int local = session.localPlayer();
    setupBefore = *players;
    players->livesPerMatch = rules.lives;
    // An arena this build does not know is the first one (the handshake's
    // map checksum makes that unlikely).
    players->matchArena = arenaByKey(rules.arena).key;
    players->setComputer(local, settings.demo);
    players->setComputer(rivalOf(local), false);
    players->online = true;

    auto& input = InputManager::instance();
    devicesBefore = input.getBackend();
    backend = std::make_shared<OnlineInputBackend>(devicesBefore, input);
    input.setBackend(backend);
    // Both games start from the host's seed, right before the arena is built.
    RandomSource::instance().seed(rules.seed);
    ++matchesBegun;
    startMatchRecording("online lives=" + std::to_string(rules.lives) + " arena=" + players->matchArena);
    // Recorded or not, the frame's axes are read once, as the lockstep gave them.
    input.sampleAxesPerFrame = true;
    GuiManager::instance().hideAll();
    StateManager::instance().setState("Arena");

    frame = 0;
    budget = 0.0;
    lastPass = now();
    waitingSince = -1.0;
    lastChecksum = lastChecksumFrame = 0;
    matchStart = now();
    waitedSeconds = ownSeconds = 0.0;
    bytesSentAtStart = session.bytesSent;
    bytesReceivedAtStart = session.bytesReceived;
    matchOn = true;
    game.setSimulationGate(this);
    say("online match: you are player " + std::to_string(local) + ", input delay " +
        std::to_string(rules.inputDelay) + " frames, round trip " + std::to_string(session.roundTripMs()) +
        " ms");
}

void OnlineMatch::startMatchRecording(const std::string& start) {
    recording.clear();
    if (!settings.recordPath.empty()) {
        const std::string path = onlineRecordings::chosenFor(settings.recordPath, matchesBegun);
        if (game.startRecording(path, start)) {
            recording = path;
        }
    } else {
        std::error_code error;
        const std::string folder = std::filesystem::temp_directory_path(error).string();
        const std::string side = session.isHost() ? "host" : "guest";
        bool tried = error.value() != 0;
        for (int attempt = 1; attempt <= onlineRecordings::mostTries && !tried; ++attempt) {
            const std::string path = onlineRecordings::inFolder(folder, side, attempt);
            // Taken names are passed over quietly; one taken meanwhile fails to open, with its line.
            std::error_code missing;
            if (std::filesystem::symlink_status(path, missing).type() !=
                std::filesystem::file_type::not_found) {
                continue;
            }
            tried = true;
            if (game.startRecording(path, start, true)) {
                recording = path;
            }
        }
        if (error) {
            reportProblem("online: this match is not recorded: no temporary folder (%s)",
                          error.message().c_str());
        } else if (!tried) {
            reportProblem("online: this match is not recorded: no free name in the temporary folder %s",
                          folder.c_str());
        }
    }
    if (!recording.empty()) {
        say("online match recorded in " + recording);
    }
}

bool OnlineMatch::takeDueFrame(double time) {
    if (!settings.fastPacing) {
        budget = std::min(mostBudget, budget + (time - lastPass));
    }
    lastPass = time;
    return settings.fastPacing || budget >= frameSeconds;
}

bool OnlineMatch::beginFrame() {
    const CpuTimer ownTime(ownSeconds);
    const double time = now();
    session.service(time);
    matchFrame = false;
    if (!matchOn) {
        // Before the match: frames paced as in it, the network looked at between them.
        const bool due = takeDueFrame(time);
        if (due && !settings.fastPacing) {
            budget -= frameSeconds;
        }
        return due;
    }

    const bool otherSideGone = session.getPhase() != net::OnlineSession::Phase::playing;
    if (const auto disagreement = session.disagreement()) {
        if (!otherSideGone) {
            session.stop(net::StopReason::disagree, *disagreement);
        }
        abandonMatch(session.endReason());
        return false;
    }
    // The other side may have stopped (or finished the match and quit) a few
    // frames ahead of this one: the frames whose inputs both came are played
    // first, so that a match its rules end ends at the same frame here too.
    if (otherSideGone && !session.ready(frame)) {
        abandonMatch(session.endReason().empty() ? "the connection ended" : session.endReason());
        return false;
    }
    if (!takeDueFrame(time)) {
        return false;
    }
    if (!session.ready(frame)) {
        if (waitingSince < 0.0) {
            waitingSince = time;
        }
        if (time - lastResend >= frameSeconds) {
            session.resendInputs(time);
            lastResend = time;
        }
        if (time - waitingSince > gaveUpAfter) {
            session.stop(net::StopReason::left, frame);
            abandonMatch("the other player stopped answering");
        }
        return false;
    }
    if (waitingSince >= 0.0) {
        waitedSeconds += time - waitingSince;
        waitingSince = -1.0;
    }
    if (!settings.fastPacing) {
        budget -= frameSeconds;
    }
    // This machine's player now, for the frame `inputDelay` ahead.
    session.addLocalInput(onlineInput::readLocalPlayer(InputManager::instance()), time);
    lastResend = time;
    backend->setFrame({session.inputOf(1, frame), session.inputOf(2, frame)});
    matchFrame = true;
    return true;
}

void OnlineMatch::checkFrame() {
    const CpuTimer ownTime(ownSeconds);
    if (settings.nudgeFrame != 0 && frame == settings.nudgeFrame) {
        const auto player = GameObjectManager::instance().findGameObject(playerObjectName(1));
        if (player && player->rigidBody && player->rigidBody->body) {
            b2Body* body = player->rigidBody->body;
            body->SetTransform(body->GetPosition() + b2Vec2(nudgeDistance, 0.0f), body->GetAngle());
        }
    }
    if (frame % checksumInterval == 0) {
        lastChecksum = matchChecksum();
        lastChecksumFrame = frame;
        session.addChecksum(frame, lastChecksum);
    }
}

void OnlineMatch::endFrame() {
    // A frame before the match (the match may have begun at its end) is not one of its frames.
    if (!matchFrame) {
        return;
    }
    matchFrame = false;
    session.played(frame);
    const std::string state = StateManager::instance().currentName();
    if (state == "Victory") {
        const auto victory =
            std::dynamic_pointer_cast<VictoryState>(StateManager::instance().states.at("Victory"));
        finishMatch(victory ? victory->winner : 0);
    } else if (state != "Arena") {
        // The pause page's way back to the menu.
        session.stop(net::StopReason::left, frame);
        abandonMatch("you left the match");
    } else {
        ++frame;
    }
}

float OnlineMatch::secondsUntilDue() const {
    // Looking at the network often: a round trip is being measured, or an input is awaited.
    constexpr float networkLook = 0.002f;
    if (!matchOn) {
        return settings.fastPacing
                   ? 0.0f
                   : std::min(networkLook, static_cast<float>(std::max(0.0, frameSeconds - budget)));
    }
    const bool ready = session.ready(frame);
    if (settings.fastPacing || budget >= frameSeconds) {
        return ready ? 0.0f : networkLook;
    }
    return static_cast<float>(frameSeconds - budget);
}

void OnlineMatch::finishMatch(int winner) {
    const uint32_t played = frame + 1;
    session.finishMatch();
    closeMatch();
    say("online match over: winner " + std::to_string(winner) + ", frame " + std::to_string(played) +
        ", state " + hex(lastChecksum));
    frame = played;
    if (settings.demo) {
        demoEndBy = now() + demoLinger;
    }
}

void OnlineMatch::abandonMatch(const std::string& why) {
    closeMatch();
    // Why the match was cut short is a problem, on standard error; its end
    // is a result like any match's.
    reportProblem("online: %s", why.c_str());
    say("online match over: winner 0, frame " + std::to_string(frame) + ", state " + hex(lastChecksum));
    if (session.disagreement() && !recording.empty()) {
        reportProblem("online: this side's recording is saved in %s", recording.c_str());
    }
    closeReported = true;
    game.showNotice(asOneLine(why));
    GuiManager::instance().hideAll();
    StateManager::instance().setState("Menu");
    if (settings.demo) {
        failed = true;
        demoEndBy = now();
    }
}

void OnlineMatch::closeMatch() {
    matchOn = false;
    game.setSimulationGate(nullptr);
    printFigures();
    game.finishRecording();
    auto& input = InputManager::instance();
    input.setBackend(devicesBefore);
    input.sampleAxesPerFrame = false;
    backend.reset();
    devicesBefore.reset();
    *players = setupBefore;
}

void OnlineMatch::printFigures() const {
    const double seconds = std::max(1e-6, now() - matchStart);
    const double minutes = seconds / 60.0;
    // Waiting shows how often the other side's input came late; behind the
    // clock how many of the frames a 60-a-second clock wanted never ran then.
    const double behind = std::max(0.0, seconds * 60.0 - static_cast<double>(frame));
    char line[320];
    std::snprintf(
        line, sizeof line,
        "online figures: input delay %d, round trip %u ms, sent %.0f B/s, received %.0f B/s, "
        "waiting %.1f frames a minute, behind the clock %.1f frames a minute, own CPU %.1f us a frame",
        session.getRules().inputDelay, session.roundTripMs(),
        static_cast<double>(session.bytesSent - bytesSentAtStart) / seconds,
        static_cast<double>(session.bytesReceived - bytesReceivedAtStart) / seconds,
        waitedSeconds * 60.0 / minutes, settings.fastPacing ? 0.0 : behind / minutes,
        frame > 0 ? ownSeconds * 1e6 / frame : 0.0);
    say(line);
}

bool OnlineMatch::joining() const {
    using Phase = net::OnlineSession::Phase;
    const Phase phase = session.getPhase();
    // Playing before the match is built: it starts at the end of this frame.
    return joinUnderWay &&
           (phase == Phase::connecting || phase == Phase::handshaking || phase == Phase::playing);
}

std::string OnlineMatch::statusLine() const {
    using Phase = net::OnlineSession::Phase;
    if (joining()) {
        const auto seconds = static_cast<long>(std::max(0.0, now() - joinedAt));
        return "connecting to " + joinedHost + "\xE2\x80\xA6 " + std::to_string(seconds) + " s";
    }
    switch (session.getPhase()) {
    case Phase::waiting:
        return "hosting on port " + std::to_string(session.localPort()) + ": waiting for a player";
    case Phase::connecting:
        return "connecting...";
    case Phase::handshaking:
        return "connected: measuring the round trip";
    case Phase::playing:
    case Phase::between:
        return "connected: input delay " + std::to_string(session.getRules().inputDelay) +
               " frames, round trip " + std::to_string(session.roundTripMs()) + " ms";
    case Phase::closed:
        return asOneLine(session.endReason());
    }
    return "";
}

bool OnlineMatch::askRematch() {
    if (session.getPhase() != net::OnlineSession::Phase::between) {
        return false;
    }
    session.askRematch();
    game.showNotice(session.otherAskedRematch() ? "rematch!" : "rematch asked: waiting for the other player");
    return true;
}

bool OnlineMatch::leave() {
    if (session.getPhase() != net::OnlineSession::Phase::between) {
        return false;
    }
    session.stop(net::StopReason::left, frame);
    return true;
}

void OnlineMatch::draw(sf::RenderTarget& target, const sf::View& pictureView) const {
    target.setView(pictureView);
    if (!matchOn) {
        return;
    }
    // At the foot of the picture, clear of the hats at its top.
    drawTextLine(target,
                 "online: player " + std::to_string(session.localPlayer()) + ", input delay " +
                     std::to_string(session.getRules().inputDelay) + ", round trip " +
                     std::to_string(session.roundTripMs()) + " ms",
                 18, {8.0f, pictureView.getSize().y - 34.0f});
    if (waitingSince >= 0.0 && now() - waitingSince > waitNoticeAfter) {
        const sf::Vector2f size = pictureView.getSize();
        drawTextLine(target, "waiting for the other player", 40, {size.x / 2.0f - 280.0f, size.y / 3.0f});
    }
}
