#include "net/OnlineSession.hpp"

#include <algorithm>
#include <cmath>

namespace net {

namespace {
// Round-trip probes: how many, how far apart (seconds), and how long to
// wait for their answers before going with what came.
constexpr uint32_t probeCount = 8;
constexpr uint32_t probesEnough = 5;
constexpr double probeInterval = 0.03;
constexpr double probeWait = 2.0;
// Input delay when no probe came back at all.
constexpr int slowestDelay = 8;
// Seconds a last word (a refusal, a stop) gets to leave before the link closes.
constexpr double lastWordTime = 0.5;
// Seconds a connected guest has to say who it is, and a guest waits for the
// match to start, before the connection is let go.
constexpr double helloWait = 5.0;
constexpr double startWait = 10.0;
// Checksums further ahead of one's own than this many frames are not kept.
constexpr uint32_t checksumLead = 600;

uint32_t milliseconds(double seconds) {
    return static_cast<uint32_t>(std::llround(seconds * 1000.0));
}
} // namespace

int inputDelayFor(uint32_t roundTripMs) {
    const double oneWayFrames = (roundTripMs / 2.0) / (1000.0 / 60.0);
    const int delay = static_cast<int>(std::ceil(oneWayFrames - 1e-9)) + 1;
    return std::clamp(delay, 2, 8);
}

OnlineSession::OnlineSession(Identity who, const LinkShape& shape)
    : identity(std::move(who)), simulator(shape), shaping(shape.shapes()) {
    link.busyRefusal = encodeRefusal("a match is already on");
    link.closedRefusal = encodeRefusal("the host is not taking a guest now");
}

bool OnlineSession::host(const std::string& address, uint16_t port, std::string& problem) {
    // A closed session takes no guest until it is hosted again, afresh.
    if (hosting && phase == Phase::closed) {
        link.close();
        forgetTheLastGuest();
        reason.clear();
    }
    if (!link.listen(address, port, problem)) {
        return false;
    }
    link.acceptsGuests = true;
    hosting = true;
    phase = Phase::waiting;
    return true;
}

bool OnlineSession::join(const std::string& address, uint16_t port, std::string& problem) {
    if (!link.connect(address, port, problem)) {
        return false;
    }
    hosting = false;
    phase = Phase::connecting;
    return true;
}

PlayerInput OnlineSession::inputOf(int player, uint32_t frame) const {
    return player == localPlayer() ? inputs.local(frame) : inputs.remote(frame);
}

void OnlineSession::send(const std::vector<uint8_t>& bytes, bool reliable, double now) {
    bytesSent += bytes.size();
    if (shaping) {
        simulator.submit(bytes, reliable, now);
        flush(now);
    } else {
        link.send(bytes, reliable);
    }
}

void OnlineSession::flush(double now) {
    for (const auto& packet : simulator.takeDue(now)) {
        link.send(packet.bytes, packet.reliable);
    }
}

void OnlineSession::service(double now) {
    lastNow = now;
    if (shaping) {
        flush(now);
    }
    for (auto& event : link.poll()) {
        switch (event.kind) {
        case EnetLink::Event::Kind::connected:
            if (hosting && phase == Phase::closed) {
                // Came in the same poll as the end (the link still took
                // guests then): it hears what any later one does.
                link.send(link.closedRefusal, true);
                link.disconnect();
                break;
            }
            lastHeard = now;
            connectedAt = now;
            // A refused guest's last word is no reason to let this one go.
            forgetTheLastGuest();
            phase = Phase::handshaking;
            if (!hosting) {
                send(encodeHello({protocolVersion, identity.build, identity.contentChecksum}), true, now);
            }
            break;
        case EnetLink::Event::Kind::received: {
            bytesReceived += event.bytes.size();
            Message message;
            // Anything malformed is ignored, as if it never came.
            if (decodeMessage(event.bytes.data(), event.bytes.size(), message)) {
                lastHeard = now;
                handle(message, now);
            }
            break;
        }
        case EnetLink::Event::Kind::disconnected:
            if (hosting && phase == Phase::handshaking) {
                // A guest that went before the match began leaves the host waiting for another.
                phase = Phase::waiting;
            } else if (phase == Phase::connecting) {
                close(event.problem.empty() ? "no game is hosted at that address" : event.problem);
            } else if (phase != Phase::closed) {
                close(closeReason.empty() ? "the other player left" : closeReason);
            }
            // The one a last word was for has gone: the next guest must not be let go for it.
            closeAt = -1.0;
            closeReason.clear();
            break;
        }
    }
    if (hosting && phase == Phase::handshaking && probeStart >= 0.0) {
        measure(now);
    }
    // A connection that says nothing must not hold the host (or the guest)
    // forever, nor one that says anything but who it is: the wait runs from
    // the connection, and only a hello (or the start, for a guest) ends it.
    if (phase == Phase::handshaking && closeAt < 0.0 && !(hosting && helloHeard) &&
        now - connectedAt > (hosting ? helloWait : startWait)) {
        link.disconnect();
        if (hosting) {
            notice = "online: a guest connected but never said who it is; waiting for another";
            phase = Phase::waiting;
        } else {
            close("the host never started the match");
        }
    }
    if (closeAt >= 0.0 && now >= closeAt && simulator.empty()) {
        closeAt = -1.0;
        link.disconnect();
        if (hosting && phase == Phase::handshaking) {
            phase = Phase::waiting;
        } else {
            close(closeReason);
        }
    }
}

void OnlineSession::handle(const Message& message, double now) {
    switch (message.kind) {
    case MessageKind::hello:
        if (hosting && phase == Phase::handshaking && !helloHeard) {
            helloHeard = true;
            handleHello(message.hello, now);
        }
        break;
    case MessageKind::refusal:
        if (!hosting) {
            notice = "online: refused by the host: " + message.refusal;
            close("refused: " + message.refusal);
        } else if (phase == Phase::handshaking) {
            // A guest that will not play goes alone; the host waits for another.
            notice = "online: the guest refused: " + message.refusal;
            link.disconnect();
            forgetTheLastGuest();
            phase = Phase::waiting;
        }
        break;
    case MessageKind::ping:
        if (!hosting) {
            send(encodePong(message.stamp), false, now);
        }
        break;
    case MessageKind::pong:
        if (hosting && phase == Phase::handshaking && probeStart >= 0.0) {
            const uint32_t sentAt = message.stamp;
            const uint32_t heardAt = milliseconds(now - probeStart);
            if (sentAt <= heardAt && roundTrips.size() < probeCount) {
                roundTrips.push_back(heardAt - sentAt);
            }
        }
        break;
    case MessageKind::start:
        if (!hosting && (phase == Phase::handshaking || phase == Phase::between)) {
            startMatch(message.rules);
        }
        break;
    case MessageKind::inputs:
        // Between matches too: the last frames of the match may still be on
        // their way; and after the other side's stop, which may overtake them.
        if (phase == Phase::playing || phase == Phase::between || (phase == Phase::closed && matchBegun)) {
            inputs.receive(message.inputs);
        }
        break;
    case MessageKind::checksum:
        if (phase == Phase::playing && message.checksum.frame <= inputs.nextLocalFrame() + checksumLead) {
            remoteChecksums[message.checksum.frame] = message.checksum.value;
            compareChecksums();
        }
        break;
    case MessageKind::stop:
        if (phase == Phase::playing || phase == Phase::between) {
            if (message.stop.reason == StopReason::disagree) {
                firstDisagreement =
                    std::min(firstDisagreement.value_or(message.stop.frame), message.stop.frame);
                close("the two games disagree at frame " + std::to_string(*firstDisagreement));
            } else {
                close("the other player left the match");
            }
        }
        break;
    case MessageKind::rematch:
        if (phase == Phase::between) {
            remoteRematch = true;
            startRematchWhenBothAsked(now);
        } else if (phase == Phase::playing) {
            // The other side's match ended a few frames before ours: its
            // wish counts once ours ends too.
            remoteRematch = true;
        }
        break;
    }
}

void OnlineSession::handleHello(const Hello& hello, double now) {
    // One line naming what differs; the guest hears the same line.
    if (hello.version != protocolVersion) {
        refuse("the protocol versions differ (host " + std::to_string(protocolVersion) + ", guest " +
                   std::to_string(hello.version) + ")",
               now);
    } else if (hello.build != identity.build) {
        refuse("the builds differ (host " + identity.build + ", guest " + hello.build + ")", now);
    } else if (hello.contentChecksum != identity.contentChecksum) {
        refuse("the game content differs (the maps are not the same)", now);
    } else {
        probeStart = now;
        lastProbe = -1.0;
    }
}

void OnlineSession::refuse(const std::string& why, double now) {
    notice = "online: refused the guest: " + why;
    send(encodeRefusal(why), true, now);
    closeAt = now + lastWordTime;
    closeReason = "refused: " + why;
}

void OnlineSession::measure(double now) {
    if (probesSent < probeCount && (lastProbe < 0.0 || now - lastProbe >= probeInterval)) {
        send(encodePing(milliseconds(now - probeStart)), false, now);
        lastProbe = now;
        ++probesSent;
    }
    const bool enough =
        roundTrips.size() >= probesEnough || (probesSent == probeCount && roundTrips.size() == probesSent);
    if (!enough && now - probeStart < probeWait) {
        return;
    }
    MatchRules next = hostRules;
    if (roundTrips.empty()) {
        next.inputDelay = slowestDelay;
        measuredRoundTrip = 0;
    } else {
        // The shortest: a probe that waited for a slow frame on either side
        // measured that frame, not the link; the delay's extra frame covers
        // the link's own jitter.
        measuredRoundTrip = *std::min_element(roundTrips.begin(), roundTrips.end());
        next.inputDelay = static_cast<uint8_t>(inputDelayFor(measuredRoundTrip));
    }
    next.roundTripMs = static_cast<uint16_t>(std::min<uint32_t>(measuredRoundTrip, 65535));
    probeStart = -1.0;
    send(encodeStart(next), true, now);
    startMatch(next);
}

void OnlineSession::startMatch(const MatchRules& matchRules) {
    rules = matchRules;
    if (!hosting) {
        measuredRoundTrip = rules.roundTripMs;
    }
    inputs.start(rules.inputDelay);
    localChecksums.clear();
    remoteChecksums.clear();
    firstDisagreement.reset();
    localRematch = remoteRematch = false;
    phase = Phase::playing;
    matchStarted = true;
    matchBegun = true;
    lastHeard = lastNow;
}

bool OnlineSession::takeMatchStart() {
    const bool started = matchStarted;
    matchStarted = false;
    return started;
}

void OnlineSession::addLocalInput(const PlayerInput& input, double now) {
    inputs.addLocal(input);
    resendInputs(now);
}

void OnlineSession::resendInputs(double now) {
    if (phase == Phase::playing || phase == Phase::between) {
        send(encodeInputs(inputs.outgoing()), false, now);
    }
}

void OnlineSession::addChecksum(uint32_t frame, uint32_t value) {
    if (phase != Phase::playing) {
        return;
    }
    send(encodeChecksum({frame, value}), true, lastNow);
    localChecksums[frame] = value;
    compareChecksums();
}

void OnlineSession::compareChecksums() {
    // Pairs are compared once both are here, then forgotten.
    for (auto local = localChecksums.begin(); local != localChecksums.end();) {
        const auto remote = remoteChecksums.find(local->first);
        if (remote == remoteChecksums.end()) {
            ++local;
            continue;
        }
        if (remote->second != local->second && !firstDisagreement) {
            firstDisagreement = local->first;
        }
        remoteChecksums.erase(remote);
        local = localChecksums.erase(local);
    }
}

void OnlineSession::stop(StopReason why, uint32_t frame) {
    if (phase == Phase::closed) {
        return;
    }
    send(encodeStop({why, frame}), true, lastNow);
    closeReason = why == StopReason::disagree ? "the two games disagree at frame " + std::to_string(frame)
                                              : "you left the match";
    // Closed for the match at once; the link lingers only until the word has left.
    phase = Phase::closed;
    link.acceptsGuests = false;
    reason = closeReason;
    closeAt = lastNow + lastWordTime;
}

void OnlineSession::finishMatch() {
    if (phase == Phase::playing) {
        phase = Phase::between;
    }
}

void OnlineSession::askRematch() {
    if (phase != Phase::between || localRematch) {
        return;
    }
    localRematch = true;
    send(encodeRematch(), true, lastNow);
    startRematchWhenBothAsked(lastNow);
}

void OnlineSession::startRematchWhenBothAsked(double now) {
    if (hosting && localRematch && remoteRematch) {
        MatchRules next = rules;
        // A new match, not the same one again.
        next.seed = rules.seed + 1;
        send(encodeStart(next), true, now);
        startMatch(next);
    }
}

void OnlineSession::close(const std::string& why) {
    phase = Phase::closed;
    // Whoever connects now is told so and let go, until the session is hosted again.
    link.acceptsGuests = false;
    if (reason.empty()) {
        reason = why;
    }
}

void OnlineSession::forgetTheLastGuest() {
    closeAt = -1.0;
    closeReason.clear();
    helloHeard = false;
    probeStart = -1.0;
    probesSent = 0;
    roundTrips.clear();
}

std::string OnlineSession::takeNotice() {
    std::string taken = std::move(notice);
    notice.clear();
    return taken;
}

} // namespace net
