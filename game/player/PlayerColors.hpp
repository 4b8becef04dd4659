#pragma once

#include <SFML/Graphics/Color.hpp>

// The colour scheme of each player number: two clothes colours and a hair
// colour that tint the character, the hat, the beard, its particles and the
// health icons. Number 2 and number 3 have their own schemes; every other
// number (player 1 among them) gets the first. Sums are SFML's clamped
// per-channel additions, so the table reads as the artists tuned it.
struct PlayerColors {
    sf::Color clothes1;
    sf::Color clothes2;
    sf::Color hair;
};

inline PlayerColors playerColors(int playerNumber) {
    const sf::Color lift(32, 32, 32, 255);
    switch (playerNumber) {
    case 2:
        return {sf::Color(160, 67, 26, 255) + lift, sf::Color(90, 1, 10, 255) + lift,
                sf::Color(154, 173, 108, 255) + sf::Color(32, 16, 16, 255)};
    case 3:
        return {sf::Color::Yellow, sf::Color::Magenta, sf::Color(94, 8, 8, 255)};
    default:
        return {sf::Color(0, 27, 81, 255) + lift, sf::Color(13, 99, 118, 255) + lift,
                sf::Color(101, 48, 42, 255)};
    }
}
