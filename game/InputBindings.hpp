#pragma once

#include <string>

#include <SFML/Window/Keyboard.hpp>

class InputManager;

// Player 2's keyboard keys: on the number pad (jump 0, magic 4), or on the
// letters J, K, L for keyboards without one (laptops); both move and aim
// with the arrow keys.
enum class Player2Keys { numberPad, laptop };

// The layout's name in the settings file ("numpad", "laptop"), and back;
// false for any other name.
std::string player2KeysName(Player2Keys keys);
bool player2KeysFromName(const std::string& name, Player2Keys& keys);

// A player's keyboard keys before any rebinding.
struct DefaultKeys {
    sf::Keyboard::Key left, right, up, down;
    sf::Keyboard::Key jump, beard, magic;
};
// Player 1's keys (any layout), or player 2's in `player2Keys`.
DefaultKeys defaultPlayerKeys(int playerNumber, Player2Keys player2Keys);

// Registers the game's actions and axes with their keyboard keys and joystick
// buttons and axes: "Restart", the player 1 axes and actions, "ESC", then the
// player 2 axes and actions, player 2's keys from `player2Keys`.
void registerInputBindings(InputManager& input, Player2Keys player2Keys = Player2Keys::numberPad);

// Gives every action and axis `registerInputBindings` registered its keys,
// pad buttons and sticks from then again, with player 2's keys in `player2Keys`.
void restoreDefaultBindings(InputManager& input, Player2Keys player2Keys);
