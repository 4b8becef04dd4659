#pragma once

#include <string>

#include <SFML/Window/Keyboard.hpp>

class InputManager;

// The keyboard keys bound to one player's actions, read from the input
// manager's bindings ("Player<n> Horizontal", "Player<n> Vertical",
// "Player<n> Jump", "Player<n> Magic"), so that a computer player presses
// whatever a person would. A key that is not bound is Unknown.
struct PlayerKeys {
    sf::Keyboard::Key left = sf::Keyboard::Unknown;
    sf::Keyboard::Key right = sf::Keyboard::Unknown;
    sf::Keyboard::Key up = sf::Keyboard::Unknown;
    sf::Keyboard::Key down = sf::Keyboard::Unknown;
    sf::Keyboard::Key jump = sf::Keyboard::Unknown;
    sf::Keyboard::Key magic = sf::Keyboard::Unknown;

    // Whether every key above is bound.
    bool complete() const;
};

// The keys of "Player<playerNumber>", as bound in `input` now.
PlayerKeys findPlayerKeys(const InputManager& input, int playerNumber);
