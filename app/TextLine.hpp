#pragma once

#include <string>

#include <SFML/Graphics/RenderTarget.hpp>

// One line of the engine's own text over the game (the debug figures, a
// notice): white in the widgets' font, on a dark backing whose top left is
// `corner`, in the target's current view. Draws nothing without the font.
void drawTextLine(sf::RenderTarget& target, const std::string& line, unsigned size, sf::Vector2f corner);
