#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace net {

// Builds a packet front to back in the form PacketReader reads: integers
// little-endian, a string as a length byte and its bytes.
class PacketWriter {
public:
    void writeU8(uint8_t value) { bytes.push_back(value); }
    void writeU16(uint16_t value);
    void writeU32(uint32_t value);
    void writeI16(int16_t value) { writeU16(static_cast<uint16_t>(value)); }
    // Cut to `maxBytes` (at most 255): a reader refuses anything longer.
    void writeText(const std::string& text, size_t maxBytes);

    std::vector<uint8_t> take() { return std::move(bytes); }

private:
    std::vector<uint8_t> bytes;
};

} // namespace net
