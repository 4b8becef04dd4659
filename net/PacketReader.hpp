#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace net {

// Reads fields from a received packet front to back. Every read checks that
// the bytes are there; the first one that is not (or a string longer than
// its limit) fails the reader for good, and later reads give zeros, so a
// decoder reads all its fields and asks `ok` once at the end. Observes the
// bytes; they must outlive the reader.
class PacketReader {
public:
    PacketReader(const uint8_t* data, size_t size) : data(data), size(size) {}

    uint8_t readU8();
    uint16_t readU16();
    uint32_t readU32();
    int16_t readI16() { return static_cast<int16_t>(readU16()); }
    // A length byte and that many bytes; the length is checked against
    // `maxBytes` and against the bytes left before anything is copied.
    std::string readText(size_t maxBytes);

    // No read failed so far.
    bool ok() const { return !failed; }
    // No read failed and every byte was read.
    bool finished() const { return !failed && position == size; }
    size_t remaining() const { return failed ? 0 : size - position; }

private:
    bool take(size_t count);

    const uint8_t* data;
    size_t size;
    size_t position = 0;
    bool failed = false;
};

} // namespace net
