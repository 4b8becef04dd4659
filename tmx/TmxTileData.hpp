#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Reads the tile numbers of one `<data>` element or one `<chunk>` of an
// infinite map, in any form the map editor writes: CSV, or Base64 of 32-bit
// little-endian numbers, plain or compressed with zlib, gzip or zstd.
//
// `encoding` and `compression` are the attribute values (null when absent;
// no encoding means CSV). The text holds at most width x height numbers, row
// by row; `store` receives (column, row, number) for each one read, the raw
// number with any flip flags still in its top bits. CSV numbers are read like
// strtoll, so a negative or oversized number reaches `store` as written.
//
// Work is bounded by the text's length and the cell count: a stream that
// would decompress to more than width x height numbers is refused as soon as
// it gets there. Throws std::runtime_error, with the reason and `what` (the
// layer's description), on an unknown encoding or compression, malformed
// Base64, a corrupt or truncated compressed stream, or more numbers than cells.
using TmxCellStore = std::function<void(int column, int row, long long number)>;
void readTileData(const char* text, const char* encoding, const char* compression, int width, int height,
                  const std::string& what, const TmxCellStore& store);
