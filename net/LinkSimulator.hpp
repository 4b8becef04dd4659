#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace net {

// How a simulated link treats this process's outgoing packets. The loopback
// device cannot be shaped without privileges, so the shaping happens in the
// program, between the match and the transport.
struct LinkShape {
    // One-way delay added to every packet, and the most it varies either way
    // (milliseconds).
    int delayMs = 0;
    int jitterMs = 0;
    // Chances (percent) that an unreliable packet is lost, or sent twice.
    double lossPercent = 0.0;
    double duplicatePercent = 0.0;
    // The shaping's own random sequence (never the simulation's).
    uint32_t seed = 1;

    bool shapes() const { return delayMs > 0 || jitterMs > 0 || lossPercent > 0.0 || duplicatePercent > 0.0; }
};

// Reads "delay=MS,jitter=MS,loss=PERCENT,duplicate=PERCENT,seed=N" (any
// subset, any order). False with `problem` for an unknown key, a value that
// is not a number or out of range (delay and jitter 0 .. 5000, percentages
// 0 .. 100), or a key given twice.
bool parseLinkShape(const std::string& text, LinkShape& shape, std::string& problem);

// Holds outgoing packets back as the shape says. Reliable packets are
// delayed but never lost, duplicated or reordered among themselves (the
// transport's reliable channel would resend a lost one anyway, and keeps
// their order); unreliable ones are also lost and duplicated, and jitter may
// reorder them. Times are seconds on the caller's steady clock.
class LinkSimulator {
public:
    struct Packet {
        std::vector<uint8_t> bytes;
        bool reliable = false;
        double releaseAt = 0.0;
    };

    explicit LinkSimulator(const LinkShape& shape);

    void submit(std::vector<uint8_t> bytes, bool reliable, double now);
    // The packets whose time has come, in the order they leave.
    std::vector<Packet> takeDue(double now);
    bool empty() const { return held.empty(); }

private:
    double sendDelay();
    bool chance(double percent);

    LinkShape shape;
    std::mt19937 random;
    std::vector<Packet> held;
    double lastReliableRelease = 0.0;
};

} // namespace net
