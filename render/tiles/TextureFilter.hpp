#pragma once

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>

// Smooths `texture` and gives it mipmaps, sampled from the one level nearest
// the view's scale (bilinear within that level) rather than blended from
// the two nearest. Up to about 1.4 times smaller that is the full-size
// picture, as plain smoothing gives it; further out it is a smaller level,
// which keeps a far zoom from shimmering. Blending two levels costs a
// software renderer about twice the work per pixel, and the arena's camera
// spends much of a fight zoomed out a little. False when the driver could
// not make mipmaps (the texture is then smoothed without them).
bool smoothWithNearestMipmaps(sf::Texture& texture);

// Whether a texture made by smoothWithNearestMipmaps samples its mipmaps
// (`use`) or only its full-size picture, smoothed. Where the nearest level
// is the full-size one anyway the picture is the same, and a software
// renderer fills it for less without the level choice per pixel. Leaves
// the texture that was bound before the call bound (SFML's drawing keeps
// track of what it bound last).
void sampleMipmaps(const sf::Texture& texture, bool use);

// Window pixels per unit of drawing under `transform` on `target` at its
// current view: the smaller of the two axes' scales.
float scaleOnTarget(const sf::RenderTarget& target, const sf::Transform& transform);
