// libFuzzer harness for the online match's packet reader: decodeMessage on
// any bytes must accept exactly one well-formed message or refuse it, never
// read past the packet or allocate what a size field asks for unchecked; an
// accepted message must encode back to the same bytes, and an input run must
// be taken by the lockstep buffer without breaking its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "net/LockstepInputs.hpp"
#include "net/NetMessage.hpp"

namespace {
std::vector<uint8_t> encodeAgain(const net::Message& message) {
    switch (message.kind) {
    case net::MessageKind::hello:
        return net::encodeHello(message.hello);
    case net::MessageKind::refusal:
        return net::encodeRefusal(message.refusal);
    case net::MessageKind::ping:
        return net::encodePing(message.stamp);
    case net::MessageKind::pong:
        return net::encodePong(message.stamp);
    case net::MessageKind::start:
        return net::encodeStart(message.rules);
    case net::MessageKind::inputs:
        return net::encodeInputs(message.inputs);
    case net::MessageKind::checksum:
        return net::encodeChecksum(message.checksum);
    case net::MessageKind::stop:
        return net::encodeStop(message.stop);
    case net::MessageKind::rematch:
        return net::encodeRematch();
    }
    return {};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    net::Message message;
    if (!net::decodeMessage(data, size, message)) {
        return 0;
    }
    if (encodeAgain(message) != std::vector<uint8_t>(data, data + size)) {
        std::abort();
    }
    if (message.kind == net::MessageKind::inputs) {
        net::LockstepInputs inputs;
        inputs.start(2);
        inputs.addLocal(net::PlayerInput());
        inputs.receive(message.inputs);
        const net::InputRun out = inputs.outgoing();
        if (out.frames.size() > net::maxInputFrames || inputs.remoteKnownUpTo() > 2 + net::maxInputFrames) {
            std::abort();
        }
    }
    return 0;
}
