#pragma once

#include <string>

// The controls pages' lines about the pads: "Pad1" and "Pad2" say which pad
// each player has (or that it is unplugged), and "SwapPads" lets the players
// exchange them.

// Wires the page's "SwapPads" button (sounds at the owning state's
// `effectsVolume`, observed: it must outlive the page).
void connectPadRows(const std::string& page, const float& effectsVolume);
// Writes the players' pads into the page's labels while the page is shown.
void showPadRows(const std::string& page);
