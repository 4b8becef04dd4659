#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The messages two games exchange in an online match, and their wire form.
//
// Every packet is one message: a kind byte, then the kind's fields, integers
// little-endian, strings as a length byte and that many bytes. `decodeMessage`
// checks every length against the bytes that are really there and against the
// limits below before it keeps anything, so a malformed, cut or oversized
// packet is refused whole (never half read), and no size field can make it
// allocate more than the limits allow.
namespace net {

// Raised whenever a message changes meaning; a game refuses any other.
constexpr uint16_t protocolVersion = 1;
// Longest packet either side sends or accepts (bytes).
constexpr size_t maxPacketBytes = 512;
// Longest string field: the build identity, a refusal's reason, the arena's name.
constexpr size_t maxTextBytes = 120;
// Most frames of input one packet carries: the oldest frames the receiver
// has not confirmed yet, so a gap is always filled from its start.
constexpr size_t maxInputFrames = 32;

// One player's input in one frame. Axes are fixed-point (value x
// axisScale), so both games read bit for bit the same float from them.
struct PlayerInput {
    static constexpr int axisScale = 32767;
    // One bit per button (see the game's button order): held this frame, and
    // pressed since the frame before (a tap let go between two frames).
    uint8_t down = 0;
    uint8_t tapped = 0;
    std::array<int16_t, 2> axes{};

    bool operator==(const PlayerInput& other) const {
        return down == other.down && tapped == other.tapped && axes == other.axes;
    }
    bool operator!=(const PlayerInput& other) const { return !(*this == other); }
};

enum class MessageKind : uint8_t {
    // Guest to host, first: who is asking.
    hello = 1,
    // Host to guest (or either way for a mismatch found on its side): why not; the link is closed after it.
    refusal = 2,
    // Round-trip measurement: the host stamps, the guest answers with the same stamp.
    ping = 3,
    pong = 4,
    // Host to guest: the match's seed and rules; frame 0 starts on receipt.
    start = 5,
    // A run of the sender's input frames.
    inputs = 6,
    // The sender's state checksum after a frame.
    checksum = 7,
    // The sender ends the match (left it, found a disagreement).
    stop = 8,
    // The sender asks for another match with the same rules.
    rematch = 9,
};

enum class StopReason : uint8_t { left = 1, disagree = 2 };

// Every version begins its hello with the kind and the version number, so
// a hello of another version is still read as one (its version alone: the
// rest may be laid out otherwise) and can be refused for what it is.
struct Hello {
    uint16_t version = protocolVersion;
    std::string build;
    uint32_t contentChecksum = 0;
};

// What the host decides for a match; sent in `start`.
struct MatchRules {
    uint32_t seed = 1;
    // Lives per player (0: unlimited).
    uint8_t lives = 3;
    // Frames between sampling one's own input and playing it, 2 .. 8.
    uint8_t inputDelay = 2;
    // The round trip the host measured (milliseconds), for showing.
    uint16_t roundTripMs = 0;
    // The arena to play; empty for the game's default one.
    std::string arena;
};

struct InputRun {
    // The frame of `frames[0]`.
    uint32_t firstFrame = 0;
    // Every frame before this one of the receiver's input has reached the sender.
    uint32_t receivedUpTo = 0;
    std::vector<PlayerInput> frames;
};

struct Checksum {
    uint32_t frame = 0;
    uint32_t value = 0;
};

struct Stop {
    StopReason reason = StopReason::left;
    uint32_t frame = 0;
};

// One decoded message: `kind` says which of the fields is meant.
struct Message {
    MessageKind kind = MessageKind::hello;
    Hello hello;
    std::string refusal;
    uint32_t stamp = 0;
    MatchRules rules;
    InputRun inputs;
    Checksum checksum;
    Stop stop;
};

std::vector<uint8_t> encodeHello(const Hello& hello);
std::vector<uint8_t> encodeRefusal(const std::string& reason);
std::vector<uint8_t> encodePing(uint32_t stamp);
std::vector<uint8_t> encodePong(uint32_t stamp);
std::vector<uint8_t> encodeStart(const MatchRules& rules);
// At most maxInputFrames frames: the run's oldest ones.
std::vector<uint8_t> encodeInputs(const InputRun& run);
std::vector<uint8_t> encodeChecksum(const Checksum& checksum);
std::vector<uint8_t> encodeStop(const Stop& stop);
std::vector<uint8_t> encodeRematch();

// The message in `data`; false for anything that is not exactly one
// well-formed message within the limits (unknown kind, a field cut short,
// bytes left over, a length over its limit, a rule out of its range). A
// hello of another protocol version is read up to its version only.
bool decodeMessage(const uint8_t* data, size_t size, Message& message);

} // namespace net
