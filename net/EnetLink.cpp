#include "net/EnetLink.hpp"

#include <enet/enet.h>

#include "net/AddressLookup.hpp"
#include "net/NetMessage.hpp"

namespace net {

namespace {
constexpr size_t channelCount = 2;
constexpr enet_uint8 reliableChannel = 0;
constexpr enet_uint8 unreliableChannel = 1;
// A peer that stops answering is dropped after this (milliseconds); the
// match's own wait limit is shorter and speaks first.
constexpr enet_uint32 peerTimeoutMs = 8000;

// ENet's global set-up, shared by every link of the process.
int enetUsers = 0;

bool acquireEnet() {
    if (enetUsers == 0 && enet_initialize() != 0) {
        return false;
    }
    ++enetUsers;
    return true;
}

void releaseEnet() {
    if (enetUsers > 0 && --enetUsers == 0) {
        enet_deinitialize();
    }
}

bool resolve(const std::string& name, uint16_t port, ENetAddress& address, std::string& problem) {
    address.port = port;
    if (name.empty()) {
        address.host = ENET_HOST_ANY;
        return true;
    }
    if (enet_address_set_host(&address, name.c_str()) != 0) {
        problem = "can't find the address " + name;
        return false;
    }
    return true;
}

void configurePeer(ENetPeer* peer) {
    enet_peer_timeout(peer, 0, peerTimeoutMs / 2, peerTimeoutMs);
}

// The transport itself takes no packet longer than the protocol's, so a
// fragment header announcing megabytes is refused before anything is
// allocated for it, and a peer may keep little waiting for reassembly.
void limitHost(ENetHost* host) {
    host->maximumPacketSize = maxPacketBytes;
    host->maximumWaitingData = 64 * maxPacketBytes;
}
// How long a closing link waits for the other side to take its last packets
// (milliseconds): a round trip on any link a match can be played over.
constexpr enet_uint32 closingWaitMs = 300;

// Closes the connection after what is queued has arrived: the last packet
// may say why this side ends (a stop), and a disconnection that overtakes it
// makes the other side drop it unread. A peer that does not answer in time
// is told at once rather than left to time out.
void closeGracefully(ENetHost* host, ENetPeer* peer) {
    enet_peer_disconnect_later(peer, 0);
    const enet_uint32 start = enet_time_get();
    ENetEvent event;
    while (enet_time_get() - start < closingWaitMs) {
        const int serviced = enet_host_service(host, &event, 10);
        if (serviced < 0) {
            break;
        }
        if (serviced > 0 && event.type == ENET_EVENT_TYPE_RECEIVE) {
            enet_packet_destroy(event.packet);
        } else if (serviced > 0 && event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer) {
            return;
        }
    }
    enet_peer_disconnect_now(peer, 0);
}
} // namespace

EnetLink::EnetLink() = default;

EnetLink::~EnetLink() {
    close();
}

void EnetLink::close() {
    if (!host) {
        return;
    }
    if (peer) {
        closeGracefully(host, peer);
    }
    enet_host_destroy(host);
    releaseEnet();
    host = nullptr;
    peer = nullptr;
    peerConnected = false;
    lookup.reset();
}

bool EnetLink::listen(const std::string& address, uint16_t port, std::string& problem) {
    ENetAddress bindAddress;
    if (host || !resolve(address, port, bindAddress, problem)) {
        problem = host ? "the link is already open" : problem;
        return false;
    }
    if (!acquireEnet()) {
        problem = "the network library could not start";
        return false;
    }
    // Room for a second guest, who is told the match is taken.
    host = enet_host_create(&bindAddress, 2, channelCount, 0, 0);
    if (!host) {
        releaseEnet();
        problem = "can't host on port " + std::to_string(port) + " (is it taken?)";
        return false;
    }
    limitHost(host);
    return true;
}

bool EnetLink::connect(const std::string& address, uint16_t port, std::string& problem) {
    if (host) {
        problem = "the link is already open";
        return false;
    }
    if (!acquireEnet()) {
        problem = "the network library could not start";
        return false;
    }
    host = enet_host_create(nullptr, 1, channelCount, 0, 0);
    if (!host) {
        releaseEnet();
        problem = "can't open a network socket";
        return false;
    }
    limitHost(host);
    // A name server may keep a lookup waiting for many seconds: the frames go on meanwhile.
    lookup = std::make_unique<AddressLookup>(address);
    lookupName = address;
    lookupPort = port;
    // A name that is not found ends the join in the next service, however
    // fast the resolver answered: the caller sees one way for a join to fail
    // at the far end, whatever the machine's timing.
    if (lookup->outcome() != AddressLookup::Outcome::found) {
        return true;
    }
    std::vector<Event> failed;
    connectToLookedUp(failed);
    if (!failed.empty()) {
        problem = failed.front().problem;
        return false;
    }
    return true;
}

void EnetLink::connectToLookedUp(std::vector<Event>& events) {
    const AddressLookup::Outcome outcome = lookup->outcome();
    if (outcome == AddressLookup::Outcome::pending) {
        return;
    }
    ENetAddress target{};
    target.host = lookup->address();
    target.port = lookupPort;
    lookup.reset();
    const std::string where = lookupName + ":" + std::to_string(lookupPort);
    if (outcome == AddressLookup::Outcome::failed) {
        events.push_back({Event::Kind::disconnected, {}, "can't find the address " + lookupName});
        return;
    }
    peer = enet_host_connect(host, &target, channelCount, 0);
    if (!peer) {
        events.push_back({Event::Kind::disconnected, {}, "can't connect to " + where});
        return;
    }
    configurePeer(peer);
}

uint16_t EnetLink::localPort() const {
    ENetAddress bound{};
    if (!host || enet_socket_get_address(host->socket, &bound) != 0) {
        return 0;
    }
    return bound.port;
}

void EnetLink::send(const std::vector<uint8_t>& bytes, bool reliable) {
    if (!isConnected() || bytes.empty()) {
        return;
    }
    ENetPacket* packet = enet_packet_create(
        bytes.data(), bytes.size(), reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet && enet_peer_send(peer, reliable ? reliableChannel : unreliableChannel, packet) != 0) {
        enet_packet_destroy(packet);
    }
    // Out now rather than at the next poll: a frame's input should not wait.
    enet_host_flush(host);
}

std::vector<EnetLink::Event> EnetLink::poll() {
    std::vector<Event> events;
    if (!host) {
        return events;
    }
    if (lookup) {
        connectToLookedUp(events);
    }
    ENetEvent event;
    while (enet_host_service(host, &event, 0) > 0) {
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (peer != event.peer && (peer || !acceptsGuests)) {
                // A match is on, or no guest is taken: the newcomer hears why and goes.
                const std::vector<uint8_t>& why = peer ? busyRefusal : closedRefusal;
                if (!why.empty()) {
                    ENetPacket* refusal =
                        enet_packet_create(why.data(), why.size(), ENET_PACKET_FLAG_RELIABLE);
                    if (refusal && enet_peer_send(event.peer, reliableChannel, refusal) != 0) {
                        enet_packet_destroy(refusal);
                    }
                }
                enet_peer_disconnect_later(event.peer, 0);
                break;
            }
            peer = event.peer;
            peerConnected = true;
            configurePeer(peer);
            events.push_back({Event::Kind::connected, {}, {}});
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            if (event.peer == peer && event.packet->dataLength <= maxPacketBytes) {
                events.push_back(
                    {Event::Kind::received,
                     std::vector<uint8_t>(event.packet->data, event.packet->data + event.packet->dataLength),
                     {}});
            }
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (event.peer == peer) {
                peer = nullptr;
                peerConnected = false;
                events.push_back({Event::Kind::disconnected, {}, {}});
            }
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
        }
    }
    return events;
}

void EnetLink::disconnect() {
    if (peer) {
        enet_peer_disconnect_later(peer, 0);
        enet_host_flush(host);
        peer = nullptr;
        peerConnected = false;
    }
}

uint32_t EnetLink::transportRoundTrip() const {
    return peer ? peer->roundTripTime : 0;
}

} // namespace net
