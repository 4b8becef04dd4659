// Two sessions of one process talking over 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <enet/enet.h>

#include "common/UnfindableName.hpp"
#include "net/OnlineSession.hpp"

namespace {
double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Services both until `done` holds or `limit` seconds pass; whether it held.
template <typename Done>
bool serviceUntil(net::OnlineSession& a, net::OnlineSession& b, Done done, double limit = 5.0) {
    const double start = secondsNow();
    while (secondsNow() - start < limit) {
        a.service(secondsNow());
        b.service(secondsNow());
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

net::OnlineSession::Identity identity(const std::string& build = "test build", uint32_t content = 77) {
    return {build, content};
}
} // namespace

TEST(OnlineSession, AGuestIsMeasuredAndBothStartTheHostsMatchThenPlayInLockstep) {
    net::OnlineSession host(identity(), {});
    net::OnlineSession guest(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    ASSERT_NE(host.localPort(), 0);
    net::MatchRules rules;
    rules.seed = 42;
    rules.lives = 2;
    host.setRules(rules);
    ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem)) << problem;
    ASSERT_TRUE(serviceUntil(host, guest, [&] {
        return host.getPhase() == net::OnlineSession::Phase::playing &&
               guest.getPhase() == net::OnlineSession::Phase::playing;
    }));
    EXPECT_TRUE(host.takeMatchStart());
    EXPECT_TRUE(guest.takeMatchStart());
    EXPECT_EQ(guest.getRules().seed, 42u);
    EXPECT_EQ(guest.getRules().lives, 2);
    EXPECT_EQ(guest.getRules().inputDelay, 2) << "a loopback round trip is far below a frame";
    EXPECT_EQ(host.localPlayer(), 1);
    EXPECT_EQ(guest.localPlayer(), 2);

    net::PlayerInput jump;
    jump.down = 1;
    host.addLocalInput(jump, secondsNow());
    EXPECT_FALSE(host.ready(2));
    guest.addLocalInput(net::PlayerInput(), secondsNow());
    ASSERT_TRUE(serviceUntil(host, guest, [&] { return host.ready(2) && guest.ready(2); }));
    EXPECT_EQ(host.inputOf(1, 2), jump);
    EXPECT_EQ(guest.inputOf(1, 2), jump);

    // A checksum that differs is found on both sides.
    host.addChecksum(30, 1);
    guest.addChecksum(30, 2);
    ASSERT_TRUE(serviceUntil(host, guest, [&] { return host.disagreement() && guest.disagreement(); }));
    EXPECT_EQ(*host.disagreement(), 30u);
}

TEST(OnlineSession, AGuestOfAnotherBuildOrContentIsRefusedOnBothSidesWithOneLineSayingWhich) {
    for (const auto& [build, content, word] :
         {std::tuple<std::string, uint32_t, std::string>{"other build", 77, "builds differ"},
          {"test build", 78, "content differs"}}) {
        net::OnlineSession host(identity(), {});
        net::OnlineSession guest(identity(build, content), {});
        std::string problem;
        ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
        ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem)) << problem;
        ASSERT_TRUE(
            serviceUntil(host, guest, [&] { return guest.getPhase() == net::OnlineSession::Phase::closed; }));
        const std::string hostLine = host.takeNotice();
        const std::string guestLine = guest.takeNotice();
        EXPECT_NE(hostLine.find(word), std::string::npos) << hostLine;
        EXPECT_NE(guestLine.find(word), std::string::npos) << guestLine;
        EXPECT_EQ(guestLine.find('\n'), std::string::npos);
        // The host goes on waiting for a guest that fits.
        ASSERT_TRUE(
            serviceUntil(host, guest, [&] { return host.getPhase() == net::OnlineSession::Phase::waiting; }));
    }
}

TEST(OnlineSession, ASecondGuestIsToldTheMatchIsTakenAndTheFirstPlaysOn) {
    net::OnlineSession host(identity(), {});
    net::OnlineSession first(identity(), {});
    net::OnlineSession second(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    ASSERT_TRUE(first.join("127.0.0.1", host.localPort(), problem));
    ASSERT_TRUE(
        serviceUntil(host, first, [&] { return first.getPhase() == net::OnlineSession::Phase::playing; }));
    ASSERT_TRUE(second.join("127.0.0.1", host.localPort(), problem));
    ASSERT_TRUE(
        serviceUntil(host, second, [&] { return second.getPhase() == net::OnlineSession::Phase::closed; }));
    EXPECT_NE(second.endReason().find("already on"), std::string::npos) << second.endReason();
    first.service(secondsNow());
    EXPECT_EQ(host.getPhase(), net::OnlineSession::Phase::playing);
    EXPECT_EQ(first.getPhase(), net::OnlineSession::Phase::playing);
}

TEST(OnlineSession, WhenOneSideStopsTheOtherHearsWhy) {
    net::OnlineSession host(identity(), {});
    net::OnlineSession guest(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem));
    ASSERT_TRUE(
        serviceUntil(host, guest, [&] { return guest.getPhase() == net::OnlineSession::Phase::playing; }));
    guest.stop(net::StopReason::disagree, 90);
    ASSERT_TRUE(
        serviceUntil(host, guest, [&] { return host.getPhase() == net::OnlineSession::Phase::closed; }));
    EXPECT_EQ(host.endReason(), "the two games disagree at frame 90");
    EXPECT_EQ(guest.endReason(), "the two games disagree at frame 90");
}

// A game whose match ended by a disagreement may end its process in the
// same frame: the word why must still reach the other side, not only the
// closed connection.
TEST(OnlineSession, ASideThatStopsAndIsGoneAtOnceStillSaysWhy) {
    net::OnlineSession host(identity(), {});
    auto guest = std::make_unique<net::OnlineSession>(identity(), net::LinkShape{});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    ASSERT_TRUE(guest->join("127.0.0.1", host.localPort(), problem));
    ASSERT_TRUE(
        serviceUntil(host, *guest, [&] { return guest->getPhase() == net::OnlineSession::Phase::playing; }));
    guest->stop(net::StopReason::disagree, 120);
    // The guest's process ends while the host's, busy, serves its link once
    // every few frames.
    std::thread guestExits([&] { guest.reset(); });
    const double start = secondsNow();
    while (host.getPhase() != net::OnlineSession::Phase::closed && secondsNow() - start < 5.0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        host.service(secondsNow());
    }
    guestExits.join();
    EXPECT_EQ(host.endReason(), "the two games disagree at frame 120");
}

TEST(OnlineSession, AfterAFinishedMatchARematchStartsWhenBothAskedWithTheNextSeed) {
    net::OnlineSession host(identity(), {});
    net::OnlineSession guest(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    net::MatchRules rules;
    rules.seed = 5;
    host.setRules(rules);
    ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem));
    ASSERT_TRUE(
        serviceUntil(host, guest, [&] { return guest.getPhase() == net::OnlineSession::Phase::playing; }));
    host.takeMatchStart();
    guest.takeMatchStart();
    host.finishMatch();
    guest.finishMatch();
    guest.askRematch();
    ASSERT_TRUE(serviceUntil(host, guest, [&] { return host.otherAskedRematch(); }));
    EXPECT_EQ(host.getPhase(), net::OnlineSession::Phase::between) << "one wish is not enough";
    host.askRematch();
    ASSERT_TRUE(
        serviceUntil(host, guest, [&] { return guest.getPhase() == net::OnlineSession::Phase::playing; }));
    EXPECT_TRUE(host.takeMatchStart());
    EXPECT_TRUE(guest.takeMatchStart());
    EXPECT_EQ(guest.getRules().seed, 6u);
    EXPECT_EQ(host.getRules().seed, 6u);
    EXPECT_TRUE(host.ready(0) && guest.ready(0)) << "the new match starts at frame 0";
}

namespace {
// Services the host and a bare link until `done` holds; the link's events are collected.
template <typename Done>
bool serviceWithLink(net::OnlineSession& host, net::EnetLink& link, std::vector<net::EnetLink::Event>& events,
                     Done done, double limit = 5.0) {
    const double start = secondsNow();
    while (secondsNow() - start < limit) {
        host.service(secondsNow());
        for (auto& event : link.poll()) {
            events.push_back(std::move(event));
        }
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
} // namespace

TEST(OnlineSession, StrayDatagramsAndMalformedPacketsAreIgnoredAndTheHandshakeGoesOn) {
    net::OnlineSession host(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;

    // Datagrams from a socket that never connected: not the transport's at all.
    const int socketHandle = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(socketHandle, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(host.localPort());
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::mt19937 random(4);
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> junk(static_cast<size_t>(random() % 1400));
        for (auto& byte : junk) {
            byte = static_cast<uint8_t>(random());
        }
        ::sendto(socketHandle, junk.data(), junk.size(), 0, reinterpret_cast<const sockaddr*>(&target),
                 sizeof target);
    }
    ::close(socketHandle);

    // A connected guest that sends garbage first: every packet is dropped, the host still waits for its
    // hello.
    net::EnetLink guest;
    ASSERT_TRUE(guest.connect("127.0.0.1", host.localPort(), problem)) << problem;
    std::vector<net::EnetLink::Event> events;
    ASSERT_TRUE(serviceWithLink(host, guest, events, [&] { return guest.isConnected(); }));
    std::vector<uint8_t> oversized(net::maxPacketBytes + 100, static_cast<uint8_t>(net::MessageKind::hello));
    guest.send(oversized, true);
    guest.send({static_cast<uint8_t>(net::MessageKind::inputs), 1, 2, 3}, true);
    guest.send({0xee, 0, 0}, false);
    // A start from the guest is not the guest's to send.
    guest.send(net::encodeStart(net::MatchRules()), true);
    ASSERT_FALSE(serviceWithLink(
        host, guest, events, [&] { return host.getPhase() != net::OnlineSession::Phase::handshaking; }, 0.5));
    guest.send(net::encodeHello({net::protocolVersion, "test build", 77}), true);
    ASSERT_TRUE(serviceWithLink(host, guest, events, [&] {
        return std::any_of(events.begin(), events.end(), [](const net::EnetLink::Event& event) {
            return !event.bytes.empty() && event.bytes[0] == static_cast<uint8_t>(net::MessageKind::ping);
        });
    })) << "the host probes the round trip once the hello came";
    EXPECT_EQ(host.getPhase(), net::OnlineSession::Phase::handshaking);
}

TEST(OnlineSession, APacketOfMegabytesFromTheGuestIsRefusedByTheTransportBeforeItIsGathered) {
    net::OnlineSession host(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    // A guest whose own transport has no such limit.
    ASSERT_EQ(enet_initialize(), 0);
    ENetHost* client = enet_host_create(nullptr, 1, 2, 0, 0);
    ASSERT_NE(client, nullptr);
    ENetAddress address{};
    enet_address_set_host(&address, "127.0.0.1");
    address.port = host.localPort();
    ENetPeer* peer = enet_host_connect(client, &address, 2, 0);
    ASSERT_NE(peer, nullptr);
    bool connected = false, probed = false;
    const auto serviceBoth = [&](double seconds) {
        const double start = secondsNow();
        while (secondsNow() - start < seconds && !probed) {
            host.service(secondsNow());
            ENetEvent event;
            while (enet_host_service(client, &event, 1) > 0) {
                connected |= event.type == ENET_EVENT_TYPE_CONNECT;
                if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                    probed |= event.packet->data[0] == static_cast<uint8_t>(net::MessageKind::ping);
                    enet_packet_destroy(event.packet);
                }
            }
        }
    };
    serviceBoth(1.0);
    ASSERT_TRUE(connected);
    const std::vector<uint8_t> huge(4 << 20, static_cast<uint8_t>(net::MessageKind::hello));
    enet_peer_send(peer, 0, enet_packet_create(huge.data(), huge.size(), ENET_PACKET_FLAG_RELIABLE));
    serviceBoth(0.5);
    EXPECT_EQ(host.getPhase(), net::OnlineSession::Phase::handshaking);
    EXPECT_FALSE(probed);
    // The refused packet blocks the guest's own ordered channel for good (it
    // is never acknowledged); what comes unordered is still read.
    const auto hello = net::encodeHello({net::protocolVersion, "test build", 77});
    enet_peer_send(peer, 1, enet_packet_create(hello.data(), hello.size(), ENET_PACKET_FLAG_UNSEQUENCED));
    serviceBoth(3.0);
    EXPECT_TRUE(probed);
    enet_peer_disconnect_now(peer, 0);
    enet_host_destroy(client);
    enet_deinitialize();
}

TEST(OnlineSession, AGuestThatNeverSaysWhoItIsIsLetGoAndTheHostWaitsForAnother) {
    net::OnlineSession host(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    net::EnetLink silent;
    ASSERT_TRUE(silent.connect("127.0.0.1", host.localPort(), problem)) << problem;
    std::vector<net::EnetLink::Event> events;
    ASSERT_TRUE(serviceWithLink(host, silent, events,
                                [&] { return host.getPhase() == net::OnlineSession::Phase::handshaking; }));
    ASSERT_TRUE(serviceWithLink(
        host, silent, events, [&] { return host.getPhase() == net::OnlineSession::Phase::waiting; }, 8.0));
    EXPECT_NE(host.takeNotice().find("never said who it is"), std::string::npos);

    // The next guest is welcome.
    net::OnlineSession guest(identity(), {});
    ASSERT_TRUE(guest.join("127.0.0.1", host.localPort(), problem)) << problem;
    ASSERT_TRUE(
        serviceUntil(host, guest, [&] { return guest.getPhase() == net::OnlineSession::Phase::playing; }));
}

TEST(OnlineSession, AJoinByNameReturnsAtOnceAndConnectsOnceTheNameIsFoundOrSaysItIsNot) {
    net::OnlineSession host(identity(), {});
    std::string problem;
    ASSERT_TRUE(host.host("127.0.0.1", 0, problem)) << problem;
    // The name is looked up while the caller goes on: the join is under way at once.
    net::OnlineSession guest(identity(), {});
    ASSERT_TRUE(guest.join("localhost", host.localPort(), problem)) << problem;
    EXPECT_EQ(guest.getPhase(), net::OnlineSession::Phase::connecting);
    ASSERT_TRUE(
        serviceUntil(host, guest, [&] { return guest.getPhase() == net::OnlineSession::Phase::playing; }));

    // A name no resolver finds, answered at once: the join still ends in a service.
    net::OnlineSession lost(identity(), {});
    ASSERT_TRUE(lost.join(unfindableHostName(), 7777, problem)) << problem;
    EXPECT_EQ(lost.getPhase(), net::OnlineSession::Phase::connecting);
    ASSERT_TRUE(serviceUntil(
        lost, host, [&] { return lost.getPhase() == net::OnlineSession::Phase::closed; }, 30.0));
    EXPECT_EQ(lost.endReason(), "can't find the address " + unfindableHostName());
}
