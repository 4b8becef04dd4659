#pragma once

class InputManager;

// Registers the game's actions and axes with their keyboard keys and joystick
// buttons and axes: "Restart", the player 1 axes and actions, "ESC", then the
// player 2 axes and actions.
void registerInputBindings(InputManager& input);
