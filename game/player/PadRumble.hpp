#pragma once

// A player's pad gives a short pulse when the player is hit or loses a life,
// where the pad has a motor and unless the settings switched it off. Only
// felt, never read back: the match plays the same with or without it.
namespace padRumble {

// On unless the settings say "rumble = off".
void setEnabled(bool enabled);
bool isEnabled();
// A pulse on the pad of player `playerNumber` (1 or 2): `strength` 0 .. 1.
void pulse(int playerNumber, float strength);

} // namespace padRumble
