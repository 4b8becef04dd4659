#include "net/NetMessage.hpp"

#include <algorithm>

#include "net/PacketReader.hpp"
#include "net/PacketWriter.hpp"

namespace net {

namespace {
PacketWriter startMessage(MessageKind kind) {
    PacketWriter writer;
    writer.writeU8(static_cast<uint8_t>(kind));
    return writer;
}

std::vector<uint8_t> stampMessage(MessageKind kind, uint32_t stamp) {
    PacketWriter writer = startMessage(kind);
    writer.writeU32(stamp);
    return writer.take();
}

bool decodeInputs(PacketReader& reader, InputRun& run) {
    run.firstFrame = reader.readU32();
    run.receivedUpTo = reader.readU32();
    const size_t count = reader.readU8();
    // The count is checked against the limit and the bytes present before
    // anything is made for it.
    constexpr size_t bytesPerFrame = 6;
    if (!reader.ok() || count == 0 || count > maxInputFrames || reader.remaining() != count * bytesPerFrame) {
        return false;
    }
    run.frames.resize(count);
    for (auto& frame : run.frames) {
        frame.down = reader.readU8();
        frame.tapped = reader.readU8();
        for (auto& axis : frame.axes) {
            axis = reader.readI16();
            // -32768 has no opposite: the scale stops one short of it.
            if (axis < -PlayerInput::axisScale) {
                return false;
            }
        }
    }
    return true;
}

bool decodeStart(PacketReader& reader, MatchRules& rules) {
    rules.seed = reader.readU32();
    rules.lives = reader.readU8();
    rules.inputDelay = reader.readU8();
    rules.roundTripMs = reader.readU16();
    rules.arena = reader.readText(maxTextBytes);
    return reader.ok() && rules.lives <= 9 && rules.inputDelay >= 2 && rules.inputDelay <= 8;
}
} // namespace

std::vector<uint8_t> encodeHello(const Hello& hello) {
    PacketWriter writer = startMessage(MessageKind::hello);
    writer.writeU16(hello.version);
    writer.writeText(hello.build, maxTextBytes);
    writer.writeU32(hello.contentChecksum);
    return writer.take();
}

std::vector<uint8_t> encodeRefusal(const std::string& reason) {
    PacketWriter writer = startMessage(MessageKind::refusal);
    writer.writeText(reason, maxTextBytes);
    return writer.take();
}

std::vector<uint8_t> encodePing(uint32_t stamp) {
    return stampMessage(MessageKind::ping, stamp);
}

std::vector<uint8_t> encodePong(uint32_t stamp) {
    return stampMessage(MessageKind::pong, stamp);
}

std::vector<uint8_t> encodeStart(const MatchRules& rules) {
    PacketWriter writer = startMessage(MessageKind::start);
    writer.writeU32(rules.seed);
    writer.writeU8(rules.lives);
    writer.writeU8(rules.inputDelay);
    writer.writeU16(rules.roundTripMs);
    writer.writeText(rules.arena, maxTextBytes);
    return writer.take();
}

std::vector<uint8_t> encodeInputs(const InputRun& run) {
    const size_t count = std::min(run.frames.size(), maxInputFrames);
    PacketWriter writer = startMessage(MessageKind::inputs);
    writer.writeU32(run.firstFrame);
    writer.writeU32(run.receivedUpTo);
    writer.writeU8(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const PlayerInput& frame = run.frames[i];
        writer.writeU8(frame.down);
        writer.writeU8(frame.tapped);
        for (const int16_t axis : frame.axes) {
            writer.writeI16(axis);
        }
    }
    return writer.take();
}

std::vector<uint8_t> encodeChecksum(const Checksum& checksum) {
    PacketWriter writer = startMessage(MessageKind::checksum);
    writer.writeU32(checksum.frame);
    writer.writeU32(checksum.value);
    return writer.take();
}

std::vector<uint8_t> encodeStop(const Stop& stop) {
    PacketWriter writer = startMessage(MessageKind::stop);
    writer.writeU8(static_cast<uint8_t>(stop.reason));
    writer.writeU32(stop.frame);
    return writer.take();
}

std::vector<uint8_t> encodeRematch() {
    return startMessage(MessageKind::rematch).take();
}

bool decodeMessage(const uint8_t* data, size_t size, Message& message) {
    if (!data || size == 0 || size > maxPacketBytes) {
        return false;
    }
    PacketReader reader(data, size);
    Message decoded;
    decoded.kind = static_cast<MessageKind>(reader.readU8());
    switch (decoded.kind) {
    case MessageKind::hello:
        decoded.hello.version = reader.readU16();
        if (reader.ok() && decoded.hello.version != protocolVersion) {
            // Whatever another version says after its number is its own
            // affair: knowing the number is enough to refuse it by name.
            message = std::move(decoded);
            return true;
        }
        decoded.hello.build = reader.readText(maxTextBytes);
        decoded.hello.contentChecksum = reader.readU32();
        break;
    case MessageKind::refusal:
        decoded.refusal = reader.readText(maxTextBytes);
        break;
    case MessageKind::ping:
    case MessageKind::pong:
        decoded.stamp = reader.readU32();
        break;
    case MessageKind::start:
        if (!decodeStart(reader, decoded.rules)) {
            return false;
        }
        break;
    case MessageKind::inputs:
        if (!decodeInputs(reader, decoded.inputs)) {
            return false;
        }
        break;
    case MessageKind::checksum:
        decoded.checksum.frame = reader.readU32();
        decoded.checksum.value = reader.readU32();
        break;
    case MessageKind::stop: {
        const uint8_t reason = reader.readU8();
        decoded.stop.frame = reader.readU32();
        if (reason != static_cast<uint8_t>(StopReason::left) &&
            reason != static_cast<uint8_t>(StopReason::disagree)) {
            return false;
        }
        decoded.stop.reason = static_cast<StopReason>(reason);
        break;
    }
    case MessageKind::rematch:
        break;
    default:
        return false;
    }
    if (!reader.finished()) {
        return false;
    }
    message = std::move(decoded);
    return true;
}

} // namespace net
