#include "net/PacketWriter.hpp"

#include <algorithm>

namespace net {

void PacketWriter::writeU16(uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PacketWriter::writeU32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void PacketWriter::writeText(const std::string& text, size_t maxBytes) {
    const size_t length = std::min({text.size(), maxBytes, size_t{255}});
    bytes.push_back(static_cast<uint8_t>(length));
    bytes.insert(bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

} // namespace net
