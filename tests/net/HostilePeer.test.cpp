// A host facing peers that do not play by the rules, each on bare ENet over
// 127.0.0.1. The sessions run on a clock of the test's own, moved on by a
// fixed step each pass, so the waits they measure take no real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include <enet/enet.h>

#include "net/OnlineSession.hpp"
#include "net/PacketWriter.hpp"

namespace {
using Phase = net::OnlineSession::Phase;

net::OnlineSession::Identity sameIdentity(const std::string& build = "test build") {
    return {build, 77};
}

// A peer that says only what the test makes it say (and, if asked, answers
// the host's probes as a guest would).
class RawPeer {
public:
    explicit RawPeer(uint16_t port) {
        EXPECT_EQ(enet_initialize(), 0);
        client = enet_host_create(nullptr, 1, 2, 0, 0);
        ENetAddress address{};
        enet_address_set_host_ip(&address, "127.0.0.1");
        address.port = port;
        peer = enet_host_connect(client, &address, 2, 0);
    }
    ~RawPeer() {
        if (connected) {
            enet_peer_disconnect_now(peer, 0);
        }
        enet_host_destroy(client);
        enet_deinitialize();
    }

    void send(const std::vector<uint8_t>& bytes, bool reliable = true) {
        enet_peer_send(
            peer, reliable ? 0 : 1,
            enet_packet_create(bytes.data(), bytes.size(),
                               reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED));
        enet_host_flush(client);
    }
    void leave() {
        enet_peer_disconnect_now(peer, 0);
        connected = false;
    }
    void pump() {
        ENetEvent event;
        while (enet_host_service(client, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                connected = true;
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                connected = false;
                dropped = true;
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                net::Message message;
                if (net::decodeMessage(event.packet->data, event.packet->dataLength, message)) {
                    if (answerPings && message.kind == net::MessageKind::ping) {
                        send(net::encodePong(message.stamp), false);
                    }
                    heard.push_back(message);
                }
                enet_packet_destroy(event.packet);
            }
        }
    }
    bool heardKind(net::MessageKind kind) const {
        return std::any_of(heard.begin(), heard.end(), [&](const net::Message& m) { return m.kind == kind; });
    }

    bool connected = false;
    bool dropped = false;
    bool answerPings = false;
    std::vector<net::Message> heard;

private:
    ENetHost* client = nullptr;
    ENetPeer* peer = nullptr;
};

// The test's clock and a loop over everything that talks.
struct World {
    double now = 100.0;
    std::vector<std::function<void(double)>> parts;

    // One pass a real millisecond, the clock `step` further each; whether
    // `done` held before `realLimit` seconds.
    bool runUntil(const std::function<bool()>& done, double step, double realLimit = 5.0) {
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < realLimit) {
            for (auto& part : parts) {
                part(now);
            }
            if (done()) {
                return true;
            }
            now += step;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // Runs the clock `seconds` further.
    void runFor(double seconds, double step) {
        const double end = now + seconds;
        runUntil([&] { return now >= end; }, step, 30.0);
    }
};

void serve(World& world, net::OnlineSession& session) {
    world.parts.push_back([&session](double now) { session.service(now); });
}
void serve(World& world, RawPeer& peer) {
    world.parts.push_back([&peer](double) { peer.pump(); });
}
} // namespace

TEST(HostilePeer, OneThatTalksButNeverSaysHelloIsDroppedInTheHelloWaitAndARealGuestThenPlays) {
    World world;
    net::OnlineSession host(sameIdentity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    serve(world, host);
    RawPeer chatter(host.localPort());
    serve(world, chatter);
    ASSERT_TRUE(world.runUntil([&] { return host.getPhase() == Phase::handshaking; }, 0.001));
    const double connectedAt = world.now;

    // Something well-formed every 2 s, never a hello.
    double lastWord = world.now;
    bool pingNext = true;
    world.parts.push_back([&](double now) {
        if (chatter.connected && now - lastWord >= 2.0) {
            chatter.send(pingNext ? net::encodePing(1) : net::encodeRematch());
            pingNext = !pingNext;
            lastWord = now;
        }
    });
    ASSERT_TRUE(world.runUntil([&] { return host.getPhase() == Phase::waiting; }, 0.02));
    EXPECT_LE(world.now - connectedAt, 5.2) << "the wait runs from the connection, whatever came since";
    EXPECT_NE(host.takeNotice().find("never said who it is"), std::string::npos);
    ASSERT_TRUE(world.runUntil([&] { return chatter.dropped; }, 0.02));

    net::OnlineSession guest(sameIdentity(), {});
    ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem)) << problem;
    serve(world, guest);
    ASSERT_TRUE(world.runUntil(
        [&] { return host.getPhase() == Phase::playing && guest.getPhase() == Phase::playing; }, 0.002));
}

TEST(HostilePeer, InputRunsFloodedFarAheadOfPlayAreNotKept) {
    World world;
    net::OnlineSession host(sameIdentity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    serve(world, host);
    RawPeer flooder(host.localPort());
    flooder.answerPings = true;
    serve(world, flooder);
    ASSERT_TRUE(world.runUntil([&] { return flooder.connected; }, 0.002));
    flooder.send(net::encodeHello({net::protocolVersion, "test build", 77}));
    ASSERT_TRUE(world.runUntil([&] { return host.getPhase() == Phase::playing; }, 0.002));
    const uint32_t delay = host.getRules().inputDelay;

    // Every run goes one frame further than the one before: each continues
    // what the host knows, had it taken the one before.
    net::InputRun run;
    run.frames.resize(net::maxInputFrames);
    for (auto& frame : run.frames) {
        frame.down = 3;
    }
    const uint64_t bytesBefore = host.bytesReceived;
    size_t keptMidway = 0;
    for (uint32_t packet = 0; packet < 20000; ++packet) {
        run.firstFrame = delay + packet;
        flooder.send(net::encodeInputs(run), false);
        if (packet % 50 == 49) {
            host.service(world.now);
            flooder.pump();
        }
        if (packet == 10000) {
            keptMidway = host.keptInputFrames();
        }
    }
    world.runFor(0.2, 0.002);
    const size_t packetBytes = net::encodeInputs(run).size();
    EXPECT_GE(host.bytesReceived - bytesBefore, 10000 * packetBytes) << "most of the flood arrived";
    const size_t honestLead =
        delay + net::LockstepInputs::predictionWindow + net::LockstepInputs::aheadMargin + 1;
    EXPECT_LE(host.keptInputFrames(), 2 * honestLead);
    EXPECT_EQ(host.keptInputFrames(), keptMidway) << "the frames kept do not grow with the flood";
    EXPECT_GE(host.keptInputFrames(), 2 * delay + net::LockstepInputs::predictionWindow)
        << "what an honest guest could have sent is still taken";
}

TEST(HostilePeer, AClosedSessionTakesNoGuestUntilItIsHostedAgain) {
    World world;
    net::OnlineSession host(sameIdentity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    const uint16_t port = host.localPort();
    serve(world, host);
    auto first = std::make_unique<net::OnlineSession>(sameIdentity(), net::LinkShape{});
    ASSERT_TRUE(first->join("127.0.0.1", port, problem)) << problem;
    serve(world, *first);
    ASSERT_TRUE(world.runUntil([&] { return first->getPhase() == Phase::playing; }, 0.002));
    host.takeMatchStart();
    host.finishMatch();
    first->finishMatch();
    // The host's player leaves through the pause page.
    host.stop(net::StopReason::left, 10);
    ASSERT_TRUE(world.runUntil([&] { return first->getPhase() == Phase::closed; }, 0.002));
    world.runFor(1.0, 0.01);

    net::OnlineSession late(sameIdentity(), {});
    ASSERT_TRUE(late.join("127.0.0.1", port, problem)) << problem;
    serve(world, late);
    ASSERT_TRUE(world.runUntil([&] { return late.getPhase() == Phase::closed; }, 0.002));
    EXPECT_EQ(late.endReason(), "refused: the host is not taking a guest now");
    EXPECT_EQ(host.getPhase(), Phase::closed);
    EXPECT_FALSE(host.takeMatchStart());
    EXPECT_EQ(host.endReason(), "you left the match");

    // Hosted again, the session takes the next guest.
    world.parts.clear();
    first.reset();
    ASSERT_TRUE(host.host("127.0.0.1", port, problem)) << problem;
    EXPECT_EQ(host.getPhase(), Phase::waiting);
    EXPECT_TRUE(host.endReason().empty());
    net::OnlineSession next(sameIdentity(), {});
    ASSERT_TRUE(next.join("127.0.0.1", host.localPort(), problem)) << problem;
    serve(world, host);
    serve(world, next);
    ASSERT_TRUE(world.runUntil(
        [&] { return host.getPhase() == Phase::playing && next.getPhase() == Phase::playing; }, 0.002));
    EXPECT_TRUE(host.takeMatchStart());
}

TEST(HostilePeer, ARefusedGuestFollowedAtOnceByAGoodOneLeavesTheGoodOnePlaying) {
    World world;
    net::OnlineSession host(sameIdentity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    serve(world, host);
    RawPeer stranger(host.localPort());
    serve(world, stranger);
    ASSERT_TRUE(world.runUntil([&] { return stranger.connected; }, 0.0));
    stranger.send(net::encodeHello({net::protocolVersion, "another build", 77}));
    // The clock stands still: the refusal's last word is still pending when the next guest comes.
    ASSERT_TRUE(world.runUntil([&] { return stranger.heardKind(net::MessageKind::refusal); }, 0.0));
    stranger.leave();
    ASSERT_TRUE(world.runUntil([&] { return host.getPhase() == Phase::waiting; }, 0.0));

    net::OnlineSession good(sameIdentity(), {});
    ASSERT_TRUE(good.join("127.0.0.1", host.localPort(), problem)) << problem;
    serve(world, good);
    ASSERT_TRUE(world.runUntil(
        [&] { return host.getPhase() == Phase::playing && good.getPhase() == Phase::playing; }, 0.002));
    world.runFor(2.0, 0.01);
    EXPECT_EQ(host.getPhase(), Phase::playing) << host.endReason();
    EXPECT_EQ(good.getPhase(), Phase::playing) << good.endReason();
    EXPECT_NE(host.takeNotice().find("builds differ"), std::string::npos);
}

TEST(HostilePeer, ARematchAskedWhileTheOtherStillPlaysItsLastFramesStartsTheNextMatch) {
    World world;
    net::OnlineSession host(sameIdentity(), {});
    net::OnlineSession guest(sameIdentity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    net::MatchRules rules;
    rules.seed = 9;
    host.setRules(rules);
    ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem)) << problem;
    serve(world, host);
    serve(world, guest);
    ASSERT_TRUE(world.runUntil(
        [&] { return host.getPhase() == Phase::playing && guest.getPhase() == Phase::playing; }, 0.002));
    host.takeMatchStart();
    guest.takeMatchStart();

    // The guest's match ends first; it asks while the host still plays.
    guest.finishMatch();
    guest.askRematch();
    ASSERT_TRUE(world.runUntil([&] { return host.otherAskedRematch(); }, 0.002));
    EXPECT_EQ(host.getPhase(), Phase::playing);
    host.finishMatch();
    host.askRematch();
    ASSERT_TRUE(world.runUntil([&] { return guest.getPhase() == Phase::playing; }, 0.002));
    EXPECT_TRUE(host.takeMatchStart());
    EXPECT_TRUE(guest.takeMatchStart());
    EXPECT_EQ(guest.getRules().seed, 10u);
    EXPECT_FALSE(host.otherAskedRematch()) << "a wish counts for one match";
}

TEST(HostilePeer, AHelloOfAnotherProtocolVersionIsRefusedAsSuchWhateverFollowsItsVersion) {
    for (const size_t tail : {0, 3, 300}) {
        World world;
        net::OnlineSession host(sameIdentity(), {});
        std::string problem;
        ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
        serve(world, host);
        RawPeer newer(host.localPort());
        serve(world, newer);
        ASSERT_TRUE(world.runUntil([&] { return newer.connected; }, 0.002));
        net::PacketWriter hello;
        hello.writeU8(static_cast<uint8_t>(net::MessageKind::hello));
        hello.writeU16(net::protocolVersion + 1);
        for (size_t i = 0; i < tail; ++i) {
            hello.writeU8(static_cast<uint8_t>(200 + i));
        }
        newer.send(hello.take());
        ASSERT_TRUE(world.runUntil([&] { return newer.heardKind(net::MessageKind::refusal); }, 0.002))
            << tail;
        const auto refusal = std::find_if(newer.heard.begin(), newer.heard.end(), [](const net::Message& m) {
            return m.kind == net::MessageKind::refusal;
        });
        const std::string expected = "the protocol versions differ (host " +
                                     std::to_string(net::protocolVersion) + ", guest " +
                                     std::to_string(net::protocolVersion + 1) + ")";
        EXPECT_EQ(refusal->refusal, expected);
        EXPECT_EQ(host.takeNotice(), "online: refused the guest: " + expected);
        EXPECT_FALSE(newer.heardKind(net::MessageKind::ping)) << "no measurement for a refused guest";
    }
}

TEST(HostilePeer, AnHonestGuestTwoInputDelaysAheadIsNeverCut) {
    // The other side may play up to our input delay ahead of us and sample
    // its own input a delay further: every one of its frames is still taken.
    net::LockstepInputs slow;
    net::LockstepInputs fast;
    slow.start(8);
    fast.start(8);
    uint32_t slowFrame = 0;
    uint32_t fastFrame = 0;
    for (int round = 0; round < 200; ++round) {
        // The fast side plays every frame our inputs allow, then we play one.
        while (fast.ready(fastFrame)) {
            fast.addLocal(net::PlayerInput());
            fast.played(fastFrame++);
            fast.receive(slow.outgoing());
        }
        slow.receive(fast.outgoing());
        ASSERT_EQ(slow.remoteKnownUpTo(), fast.nextLocalFrame()) << round;
        ASSERT_TRUE(slow.ready(slowFrame));
        slow.addLocal(net::PlayerInput());
        slow.played(slowFrame++);
        fast.receive(slow.outgoing());
    }
    EXPECT_GE(fastFrame, slowFrame + 7) << "the fast side did run ahead as far as it could";
}
