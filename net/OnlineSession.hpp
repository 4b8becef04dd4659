#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/EnetLink.hpp"
#include "net/LinkSimulator.hpp"
#include "net/LockstepInputs.hpp"
#include "net/NetMessage.hpp"

namespace net {

// One side of an online match: the connection, the handshake, the inputs
// and the checksums, without any knowledge of the game. The game drives the
// frames: it asks whether a frame is `ready`, plays it with the two inputs,
// and hands over its own next input and, now and then, a checksum.
//
// Handshake: the guest connects and says who it is (protocol version, build,
// content checksum); the host refuses a mismatch with one line naming it
// (both sides report it), otherwise it measures the round trip with a few
// probes, picks the input delay from it and sends the seed and the rules;
// frame 0 starts for the host when it sends them and for the guest when
// they arrive. Malformed packets and messages that do not fit the moment
// are ignored: a guest that has not said hello within a few seconds of its
// connection is let go, whatever else it sent.
//
// Times are seconds of the caller's steady clock. They decide when to send
// and when the other side is late, never anything in the match.
class OnlineSession {
public:
    enum class Phase {
        // Hosting, no guest yet (or the last one went).
        waiting,
        // Joining: the connection is being made.
        connecting,
        // Connected; identities checked, round trip measured.
        handshaking,
        // A match runs.
        playing,
        // A match ended with the connection kept (a rematch may follow).
        between,
        // The connection is over; `endReason` says why.
        closed,
    };

    struct Identity {
        std::string build;
        uint32_t contentChecksum = 0;
    };

    OnlineSession(Identity identity, const LinkShape& shape);

    // False with one line in `problem` when the port cannot be opened.
    // Once closed, a hosting session refuses every guest until `host` is
    // called again, which opens it afresh.
    bool host(const std::string& address, uint16_t port, std::string& problem);
    bool join(const std::string& address, uint16_t port, std::string& problem);
    bool isHost() const { return hosting; }
    // 1 for the host, 2 for the guest.
    int localPlayer() const { return hosting ? 1 : 2; }
    uint16_t localPort() const { return link.localPort(); }

    // The host's rules for the next match (its seed, lives, arena); the input
    // delay and round trip are filled in from the measurement.
    void setRules(const MatchRules& rules) { hostRules = rules; }

    // Sends what is due, reads what came. Call often, also between frames.
    void service(double now);

    Phase getPhase() const { return phase; }
    // Set for the step into `playing`; cleared by `takeMatchStart`.
    bool takeMatchStart();
    const MatchRules& getRules() const { return rules; }
    // The measured round trip (milliseconds), 0 before the measurement.
    uint32_t roundTripMs() const { return measuredRoundTrip; }

    // Lockstep: whether both inputs of `frame` are here; they, by player.
    bool ready(uint32_t frame) const { return inputs.ready(frame); }
    PlayerInput inputOf(int player, uint32_t frame) const;
    // One's own input sampled during `frame`, for frame + input delay; sent at once.
    void addLocalInput(const PlayerInput& input, double now);
    // The frame was played: its inputs may go once confirmed.
    void played(uint32_t frame) { inputs.played(frame); }
    // Sends one's own unconfirmed input again (while waiting, in case of loss).
    void resendInputs(double now);
    // Input frames of both sides held for the match (bounded whatever the other side sends).
    size_t keptInputFrames() const { return inputs.keptFrames(); }
    // Every own input frame before this one has reached the other side.
    uint32_t confirmedByOther() const { return inputs.outgoing().firstFrame; }
    // Seconds since anything came from the other side.
    double silentFor(double now) const { return now - lastHeard; }

    // One's own checksum after `frame`; compared when the other side's arrives.
    void addChecksum(uint32_t frame, uint32_t value);
    // The first frame whose checksums differ, once both are known.
    std::optional<uint32_t> disagreement() const { return firstDisagreement; }

    // Ends the match for both: the other side hears why. `left` also closes
    // the connection; `disagree` keeps it only long enough to be heard.
    void stop(StopReason reason, uint32_t frame);
    // The match ended by its own rules (a winner): both sides know it
    // without a word; the connection stays for a rematch.
    void finishMatch();
    // Asks for another match; the host starts one once both asked. The
    // other side's wish heard while this side still plays its last frames
    // counts once this match ends.
    void askRematch();
    bool otherAskedRematch() const { return remoteRematch; }

    // Why the connection or the match ended, one line (empty while it runs).
    const std::string& endReason() const { return reason; }
    // One line about the handshake to print (a refusal, on either side); taken once.
    std::string takeNotice();

    // Bytes handed to the transport and received, for the figures.
    uint64_t bytesSent = 0;
    uint64_t bytesReceived = 0;

private:
    void handle(const Message& message, double now);
    void handleHello(const Hello& hello, double now);
    void measure(double now);
    void startMatch(const MatchRules& matchRules);
    void startRematchWhenBothAsked(double now);
    void compareChecksums();
    void send(const std::vector<uint8_t>& bytes, bool reliable, double now);
    void flush(double now);
    void close(const std::string& why);
    void refuse(const std::string& why, double now);
    // Drops what was pending for the guest before (its hello, probes, last word).
    void forgetTheLastGuest();

    Identity identity;
    EnetLink link;
    LinkSimulator simulator;
    bool shaping = false;
    bool hosting = false;
    Phase phase = Phase::closed;
    MatchRules hostRules;
    MatchRules rules;
    bool matchStarted = false;
    // A match was started over this connection: its inputs are kept coming
    // in after the connection closed, for the frames still to be played.
    bool matchBegun = false;
    LockstepInputs inputs;
    // Round-trip probes: the stamps sent (ms) and the round trips heard.
    double probeStart = -1.0;
    double lastProbe = -1.0;
    uint32_t probesSent = 0;
    std::vector<uint32_t> roundTrips;
    uint32_t measuredRoundTrip = 0;
    double lastHeard = 0.0;
    // When the guest connected (the handshake's wait runs from it), and whether it said hello.
    double connectedAt = 0.0;
    bool helloHeard = false;
    double lastNow = 0.0;
    std::map<uint32_t, uint32_t> localChecksums;
    std::map<uint32_t, uint32_t> remoteChecksums;
    std::optional<uint32_t> firstDisagreement;
    bool localRematch = false;
    bool remoteRematch = false;
    // After a refusal or a stop: close once the last word has left.
    double closeAt = -1.0;
    std::string closeReason;
    std::string reason;
    std::string notice;
};

// The input delay for a measured round trip: the one-way time in frames of
// 1/60 s, rounded up, plus one; at least 2, at most 8.
int inputDelayFor(uint32_t roundTripMs);

} // namespace net
