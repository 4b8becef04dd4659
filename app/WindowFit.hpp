#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

// How the game's picture, made at one fixed size (1920 x 1080), meets the
// window it is shown in: the size the window starts at, and where in a window
// of any size the picture lies, scaled uniformly, with bars on the sides or
// above and below.

// Pixels kept free of a window at start, above and below its picture: the
// title bar and a desktop's panels.
constexpr unsigned windowFrameReserve = 64;

// The picture's own size when the desktop holds it, else the largest size of
// the picture's shape that fits the desktop's width and its height less
// `windowFrameReserve`. Never 0 in either direction.
sf::Vector2u startingWindowSize(sf::Vector2u picture, sf::Vector2u desktop);

// Where a window of `window` pixels shows the whole picture as large as it
// fits without changing its shape, as fractions of the window (an sf::View's
// viewport). A window of no area gets the whole window.
sf::FloatRect letterbox(sf::Vector2u picture, sf::Vector2u window);
