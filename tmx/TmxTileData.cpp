#include "tmx/TmxTileData.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>
#include <zstd.h>

namespace {

[[noreturn]] void malformedTileData(const std::string& what, const std::string& reason) {
    throw std::runtime_error(what + " " + reason);
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
}

void readCsv(const char* text, int width, size_t cells, const std::string& what, const TmxCellStore& store) {
    size_t count = 0;
    const char* p = text;
    while (true) {
        while (isSeparator(*p)) {
            ++p;
        }
        if (*p == '\0') {
            return;
        }
        if (count == cells) {
            malformedTileData(what, "holds more numbers than its " + std::to_string(cells) + " cells");
        }
        // strtoll stops at the first separator, so it reads this token alone.
        store(static_cast<int>(count % width), static_cast<int>(count / width), std::strtoll(p, nullptr, 10));
        ++count;
        while (*p != '\0' && !isSeparator(*p)) {
            ++p;
        }
    }
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

// The editor wraps Base64 text in line breaks and indentation; those are skipped.
std::vector<unsigned char> decodeBase64(const char* text, const std::string& what) {
    std::vector<unsigned char> bytes;
    bytes.reserve(std::strlen(text) / 4 * 3);
    unsigned bits = 0;
    int bitCount = 0;
    int padding = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            continue;
        }
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = base64Value(c);
        if (value < 0 || padding > 0) {
            malformedTileData(what,
                              "holds malformed Base64 (unexpected character '" + std::string(1, c) + "')");
        }
        bits = (bits << 6) | static_cast<unsigned>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<unsigned char>((bits >> bitCount) & 0xFF));
        }
    }
    if (padding > 2 || bitCount >= 6) {
        malformedTileData(what, "holds malformed Base64 (its length does not fit)");
    }
    return bytes;
}

[[noreturn]] void inflatesPast(const std::string& what, size_t limit) {
    malformedTileData(what, "holds a compressed stream that inflates past its " + std::to_string(limit / 4) +
                                " cells");
}

// zlib and gzip streams; `windowBits` picks the header.
std::vector<unsigned char> inflateStream(const std::vector<unsigned char>& input, int windowBits,
                                         size_t limit, const std::string& what) {
    // One byte more than the layer holds: filling it shows the stream is too long.
    std::vector<unsigned char> output(limit + 1);
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) {
        malformedTileData(what, "cannot be decompressed (zlib did not start)");
    }
    stream.next_in = const_cast<unsigned char*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    int result = Z_OK;
    while (result == Z_OK && stream.avail_out > 0) {
        result = inflate(&stream, Z_NO_FLUSH);
        // gzip allows several members back to back; the editor writes one.
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            break;
        }
    }
    const size_t produced = output.size() - stream.avail_out;
    inflateEnd(&stream);
    if (produced > limit) {
        inflatesPast(what, limit);
    }
    if (result != Z_STREAM_END) {
        malformedTileData(what, "holds a corrupt or truncated compressed stream");
    }
    output.resize(produced);
    return output;
}

std::vector<unsigned char> decompressZstd(const std::vector<unsigned char>& input, size_t limit,
                                          const std::string& what) {
    std::vector<unsigned char> output(limit + 1);
    ZSTD_DCtx* context = ZSTD_createDCtx();
    if (!context) {
        malformedTileData(what, "cannot be decompressed (zstd did not start)");
    }
    ZSTD_inBuffer in{input.data(), input.size(), 0};
    ZSTD_outBuffer out{output.data(), output.size(), 0};
    size_t result = 1;
    while (in.pos < in.size && out.pos < out.size) {
        result = ZSTD_decompressStream(context, &out, &in);
        if (ZSTD_isError(result)) {
            break;
        }
    }
    ZSTD_freeDCtx(context);
    if (out.pos > limit) {
        inflatesPast(what, limit);
    }
    if (ZSTD_isError(result) || result != 0) {
        malformedTileData(what, "holds a corrupt or truncated compressed stream");
    }
    output.resize(out.pos);
    return output;
}

} // namespace

void readTileData(const char* text, const char* encoding, const char* compression, int width, int height,
                  const std::string& what, const TmxCellStore& store) {
    const size_t cells = static_cast<size_t>(width) * static_cast<size_t>(height);
    const bool csv = !encoding || std::strcmp(encoding, "csv") == 0;
    if (!csv && std::strcmp(encoding, "base64") != 0) {
        malformedTileData(what, "has the unknown encoding \"" + std::string(encoding) + "\"");
    }
    const bool compressed = compression && *compression != '\0';
    if (csv) {
        if (compressed) {
            malformedTileData(what, "is CSV with the compression \"" + std::string(compression) +
                                        "\"; only Base64 data can be compressed");
        }
        readCsv(text, width, cells, what, store);
        return;
    }
    std::vector<unsigned char> bytes = decodeBase64(text, what);
    const size_t limit = cells * 4;
    if (compressed) {
        if (std::strcmp(compression, "zlib") == 0) {
            bytes = inflateStream(bytes, 15, limit, what);
        } else if (std::strcmp(compression, "gzip") == 0) {
            bytes = inflateStream(bytes, 15 + 16, limit, what);
        } else if (std::strcmp(compression, "zstd") == 0) {
            bytes = decompressZstd(bytes, limit, what);
        } else {
            malformedTileData(what, "has the unknown compression \"" + std::string(compression) + "\"");
        }
    } else if (bytes.size() > limit) {
        malformedTileData(what, "holds more numbers than its " + std::to_string(cells) + " cells");
    }
    if (bytes.size() % 4 != 0) {
        malformedTileData(what,
                          "holds " + std::to_string(bytes.size()) + " bytes, not a whole number of tiles");
    }
    for (size_t i = 0; i * 4 < bytes.size(); ++i) {
        const uint32_t number =
            static_cast<uint32_t>(bytes[i * 4]) | static_cast<uint32_t>(bytes[i * 4 + 1]) << 8 |
            static_cast<uint32_t>(bytes[i * 4 + 2]) << 16 | static_cast<uint32_t>(bytes[i * 4 + 3]) << 24;
        store(static_cast<int>(i % width), static_cast<int>(i / width), number);
    }
}
