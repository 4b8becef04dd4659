#pragma once

#include <cstdint>
#include <string>

// A checksum of the content that decides how a match plays: every file of
// the maps' folder (maps and their tilesets), by name and bytes, in name
// order. Two games with the same value play the same arenas. `folder` is a
// content path such as "../assets/tilemap"; a folder that cannot be read
// gives the checksum of nothing.
uint32_t contentChecksum(const std::string& folder);
