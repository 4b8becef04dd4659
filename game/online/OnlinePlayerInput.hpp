#pragma once

#include <array>
#include <string>

#include "net/NetMessage.hpp"

class InputManager;

// How one player's input travels in an online match: the player's buttons as
// bits of net::PlayerInput (in `onlineButtons` order) and the two axes as its
// fixed-point axes (in `onlineAxes` order).
namespace onlineInput {

constexpr std::array<const char*, 3> buttons = {"Jump", "Beard", "Magic"};
constexpr std::array<const char*, 2> axes = {"Horizontal", "Vertical"};

// The person (or computer player) at this machine now: every binding of
// either player counts (both keyboard layouts, both pads), since each
// machine has one player. Presses between two frames are not seen here;
// a held key is. Read through the InputManager's current backend. Nothing
// is held while a page over the match has the keys (InputManager::isPageOpen).
net::PlayerInput readLocalPlayer(const InputManager& input);

// The value of an axis as both games read it.
float axisValue(int16_t fixedPoint);

} // namespace onlineInput
