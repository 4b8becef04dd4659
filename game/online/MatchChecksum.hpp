#pragma once

#include <cstdint>

// A checksum of everything that makes the match what it is now, so that a
// part of the state two games (or a game and its restored copy) do not share
// shows as a difference:
// - the physics world, in its own order: every body's type, place, angle,
//   velocities and whether it is awake and enabled; every joint's type and
//   the impulses it carries into the next step; every contact's touching,
//   friction, restitution and its points' impulses;
// - each player's lives, timers (death, steps, hold, growth, attack, magic),
//   magic charges and flags, facing, grab and animation state, and its beard
//   from chin to tip: each segment's index, flags, what it touches, and its
//   body and slider body;
// - each moving platform's steps taken;
// - where the random source stands.
// Two games that played the same frames from the same start get the same
// value; any difference in one of those gives another (almost surely).
// Reads the scene; changes nothing.
uint32_t matchChecksum();
