#pragma once

// Writes tile layer data the way the map editor saves it (CSV, or Base64 of
// 32-bit little-endian numbers, plain or compressed), for benchmarks that
// generate their maps.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <zlib.h>
#include <zstd.h>

namespace benchdata {

inline std::string base64(const std::vector<unsigned char>& bytes) {
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const unsigned a = bytes[i];
        const unsigned b = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const unsigned c = i + 2 < bytes.size() ? bytes[i + 2] : 0;
        const unsigned triple = (a << 16) | (b << 8) | c;
        text += alphabet[(triple >> 18) & 63];
        text += alphabet[(triple >> 12) & 63];
        text += i + 1 < bytes.size() ? alphabet[(triple >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? alphabet[triple & 63] : '=';
    }
    return text;
}

// zlib (windowBits 15) or gzip (15 + 16) stream of `bytes`.
inline std::vector<unsigned char> deflateBytes(const std::vector<unsigned char>& bytes, int windowBits) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::abort();
    }
    std::vector<unsigned char> out(deflateBound(&stream, bytes.size()) + 32);
    stream.next_in = const_cast<unsigned char*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) {
        std::abort();
    }
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// The <data> element of `numbers` in `encoding`: "csv", "base64", "zlib", "gzip" or "zstd".
inline std::string dataElement(const std::vector<uint32_t>& numbers, int width, const std::string& encoding) {
    std::ostringstream data;
    if (encoding == "csv") {
        data << "<data encoding=\"csv\">\n";
        for (size_t i = 0; i < numbers.size(); ++i) {
            data << numbers[i] << (i + 1 < numbers.size() ? "," : "") << ((i + 1) % width == 0 ? "\n" : "");
        }
        data << "</data>";
        return data.str();
    }
    std::vector<unsigned char> bytes;
    for (uint32_t number : numbers) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<unsigned char>(number >> shift));
        }
    }
    std::string compression;
    if (encoding == "zlib") {
        bytes = deflateBytes(bytes, 15);
        compression = " compression=\"zlib\"";
    } else if (encoding == "gzip") {
        bytes = deflateBytes(bytes, 15 + 16);
        compression = " compression=\"gzip\"";
    } else if (encoding == "zstd") {
        std::vector<unsigned char> packed(ZSTD_compressBound(bytes.size()));
        const size_t size = ZSTD_compress(packed.data(), packed.size(), bytes.data(), bytes.size(), 3);
        if (ZSTD_isError(size)) {
            std::abort();
        }
        packed.resize(size);
        bytes = packed;
        compression = " compression=\"zstd\"";
    }
    data << "<data encoding=\"base64\"" << compression << ">\n   " << base64(bytes) << "\n  </data>";
    return data.str();
}

} // namespace benchdata
