#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

namespace net {

class AddressLookup;

// One ENet connection between a host and a guest: channel 0 is reliable
// and ordered (handshake, control, checksums), channel 1 unreliable and
// unsequenced (inputs, round-trip probes). A host takes one guest; one that
// connects while another is there gets `busyRefusal` and is let go. Packets
// from anyone but the one peer never reach the caller, and received packets
// longer than the protocol's limit are dropped here.
//
// Owns its ENet host; ENet itself is set up with the first link of the
// process and shut down with the last.
class EnetLink {
public:
    struct Event {
        enum class Kind { connected, received, disconnected };
        Kind kind = Kind::received;
        std::vector<uint8_t> bytes;
        // Why a connection being made ended, when the link knows (the
        // host's name could not be found); empty otherwise.
        std::string problem;
    };

    EnetLink();
    ~EnetLink();
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    // Waits for a guest on `address` (empty: every interface) and `port`
    // (0: a free one, see `localPort`). False with one line in `problem`.
    bool listen(const std::string& address, uint16_t port, std::string& problem);
    // Connects to a host; `connected` comes from `poll` once it answers.
    // Never waits: a host's name is looked up meanwhile (see AddressLookup),
    // and one that cannot be found comes from `poll` as `disconnected`
    // with its problem.
    bool connect(const std::string& address, uint16_t port, std::string& problem);
    uint16_t localPort() const;
    bool isConnected() const { return peer != nullptr && peerConnected; }

    void send(const std::vector<uint8_t>& bytes, bool reliable);
    // Sent to a second guest before it is let go.
    std::vector<uint8_t> busyRefusal;
    // While false, a host lets every newcomer go after sending it `closedRefusal`.
    bool acceptsGuests = true;
    std::vector<uint8_t> closedRefusal;
    // Everything that happened since the last poll, in order; never waits.
    std::vector<Event> poll();
    // Lets the peer go after what was queued for it has left (a guest then
    // hears `disconnected`). The host keeps listening.
    void disconnect();
    // Lets the peer go as the destructor does and stops listening or
    // connecting; the link may then listen or connect again.
    void close();
    // Round trip of the transport's own pings (milliseconds), 0 before any.
    uint32_t transportRoundTrip() const;

private:
    // Sends the connection request once the host's address is known.
    void connectToLookedUp(std::vector<Event>& events);

    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    bool peerConnected = false;
    // While the host's name is being looked up: the lookup, and what it is for.
    std::unique_ptr<AddressLookup> lookup;
    std::string lookupName;
    uint16_t lookupPort = 0;
};

} // namespace net
