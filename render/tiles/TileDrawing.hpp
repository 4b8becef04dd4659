#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Transform.hpp>

#include "tmx/TmxMap.hpp"

// What the drawing of a map's layers and tile objects shares: colours,
// the tint, the part of the view a transform sees, and parallax.

// The vertex colour of what a layer draws: its tint, and in alpha the
// tint's alpha times the opacity (clamped to 0 .. 1).
sf::Color tintColour(const TmxTint& tint, float opacity);
bool isTinted(const TmxTint& tint);

// Tints the way the map editor does (the tint multiplies the picture as if
// it were laid over white), from the vertex colour of tintColour. Shared by
// every tinted drawing; null when the graphics driver has no shaders (the
// tint is then multiplied in plainly).
const sf::Shader* tintShader();

// The view's area in the coordinates that `transform` maps to the world.
sf::FloatRect visibleArea(const sf::RenderTarget& target, const sf::Transform& transform);

// How far a layer with the parallax `factor` (1: moves with the map) is
// shifted, in the coordinates of `transform` (which places the map's
// centre at the origin): by 1 - factor times the distance of the view's
// centre from the parallax origin, `origin` in those coordinates. At the
// origin every layer stands at its own place.
sf::Vector2f parallaxShift(const sf::RenderTarget& target, const sf::Transform& transform,
                           sf::Vector2f factor, sf::Vector2f origin);

// The map's parallax origin relative to the map's centre, in pixels.
sf::Vector2f parallaxOrigin(const TmxMap& map);
