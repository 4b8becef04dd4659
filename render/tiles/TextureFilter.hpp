#pragma once

#include <SFML/Graphics/Texture.hpp>

// Smooths `texture` and gives it mipmaps, sampled from the one level nearest
// the view's scale (bilinear within that level) rather than blended from
// the two nearest. Up to about 1.4 times smaller that is the full-size
// picture, as plain smoothing gives it; further out it is a smaller level,
// which keeps a far zoom from shimmering. Blending two levels costs a
// software renderer about twice the work per pixel, and the arena's camera
// spends much of a fight zoomed out a little. False when the driver could
// not make mipmaps (the texture is then smoothed without them).
bool smoothWithNearestMipmaps(sf::Texture& texture);
