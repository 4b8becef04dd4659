#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/InputBindings.hpp"

class InputManager;

// The places a player can rebind: one key and one pad button each, on an
// action or on one direction of an axis. Every slot of every player is in one
// list, so that a key is never bound twice: binding a key (or pad button)
// that another slot holds swaps the two slots' keys.
struct BindingSlot {
    // The page's button for the slot: "Player1Jump", "Player2Left", "Pause".
    std::string widget;
    // The input action or axis it rebinds.
    std::string action;
    // On an axis, the value the key gives (-1 or 1); 0 on a button action.
    float axisValue = 0.0f;
    // 1 or 2; 0 for the slots both players share.
    int player = 0;
    // What the row is called on the page ("Run left", "Pause").
    std::string label;
    // The slot's key in a player's default keys; empty for the shared slots.
    sf::Keyboard::Key DefaultKeys::*defaultKey = nullptr;
};

// Every slot, player 1's, player 2's, then the shared ones, in the page's order.
const std::vector<BindingSlot>& bindingSlots();

// The slot's keyboard key, or its pad button (a pad's standard button, else
// a raw button of a pad without a mapping); -1 when it has none.
int32_t slotKey(const InputManager& input, const BindingSlot& slot);
int32_t slotPadButton(const InputManager& input, const BindingSlot& slot);

// Binds `code` (a keyboard key, a pad's standard button or a raw button) to
// the slot, in place of the slot's code of that kind. Another slot holding `code` gets the
// slot's old one (or, without one, loses `code`). Returns the names of the
// actions and axes that changed, for the settings file.
std::vector<std::string> bindSlot(InputManager& input, const BindingSlot& slot, int32_t code);

// Gives player 2's slots their keys in `layout`, each as `bindSlot` does, so
// a key of the layout that player 1 had taken goes over in a swap.
std::vector<std::string> bindPlayer2Layout(InputManager& input, Player2Keys layout);

// What a page shows for an input code: "Space", "Numpad 0", "Left", "pad 2
// bottom button" (a pad's standard button), "pad 2 button 1" (a button of a
// pad without a standard mapping); "none" for -1.
std::string inputCodeName(int32_t code);
