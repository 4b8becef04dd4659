#include "net/PacketReader.hpp"

namespace net {

bool PacketReader::take(size_t count) {
    if (failed || count > size - position) {
        failed = true;
        return false;
    }
    return true;
}

uint8_t PacketReader::readU8() {
    if (!take(1)) {
        return 0;
    }
    return data[position++];
}

uint16_t PacketReader::readU16() {
    if (!take(2)) {
        return 0;
    }
    const uint16_t value = static_cast<uint16_t>(data[position] | data[position + 1] << 8);
    position += 2;
    return value;
}

uint32_t PacketReader::readU32() {
    if (!take(4)) {
        return 0;
    }
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | data[position + static_cast<size_t>(i)];
    }
    position += 4;
    return value;
}

std::string PacketReader::readText(size_t maxBytes) {
    const size_t length = readU8();
    if (failed || length > maxBytes || !take(length)) {
        failed = true;
        return std::string();
    }
    std::string text(reinterpret_cast<const char*>(data + position), length);
    position += length;
    return text;
}

} // namespace net
