#pragma once

#include <string>

class InputManager;

// Player 2's keyboard keys: on the number pad (jump 0, magic 4), or on the
// letters J, K, L for keyboards without one (laptops); both move and aim
// with the arrow keys.
enum class Player2Keys { numberPad, laptop };

// The layout's name in the settings file ("numpad", "laptop"), and back;
// false for any other name.
std::string player2KeysName(Player2Keys keys);
bool player2KeysFromName(const std::string& name, Player2Keys& keys);

// Registers the game's actions and axes with their keyboard keys and joystick
// buttons and axes: "Restart", the player 1 axes and actions, "ESC", then the
// player 2 axes and actions, player 2's keys from `player2Keys`.
void registerInputBindings(InputManager& input, Player2Keys player2Keys = Player2Keys::numberPad);
