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
// machine has one player. Read as the InputManager reads its actions and
// axes offline (InputManager::isActionDownOnDevices and the rest), through
// its current backend: held buttons, presses let go again since the last
// sampling (`tapped`), axes through their dead zones. Call it before the
// frame's sampling, which forgets those presses. Nothing is held while a
// page over the match has the keys (InputManager::isPageOpen).
net::PlayerInput readLocalPlayer(const InputManager& input);

// The value of an axis as both games read it.
float axisValue(int16_t fixedPoint);

} // namespace onlineInput
