#pragma once

#include <cstdint>

// A checksum of everything that makes the match what it is now: every
// physics body's position, angle and velocities (in the world's own order),
// each player's lives and beard length, and where the random source stands.
// Two games that played the same frames from the same start get the same
// value; any difference in one of those gives another (almost surely).
// Reads the scene; changes nothing.
uint32_t matchChecksum();
