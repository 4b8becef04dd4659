#pragma once

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

// Copies of tileset textures in which every tile stands apart with a border
// of its own edge pixels. Tiles drawn straight from a tileset sample their
// neighbours in the image when the view scales or shifts them by a fraction
// of a pixel, which shows as seams between tiles; from the copy they sample
// only their own edge. The copies are mipmapped when smoothed, so a zoomed
// out map stays smooth too (see smoothWithNearestMipmaps).
//
// Copies are made on first use and kept for the rest of the run; they are
// keyed by the source texture's address, which the asset manager keeps
// alive for the run as well.
class TileAtlas {
public:
    static TileAtlas& instance();

    struct Placement {
        const sf::Texture* texture = nullptr;
        sf::IntRect rectangle;
        // Every pixel of the tile is fully opaque (false when unknown).
        bool opaque = false;
    };
    // Where the tile `sprite` shows (its texture rectangle, cut on a grid of
    // that rectangle's size) lies in the bordered copy. When no copy can be
    // made (larger than the graphics driver allows), the sprite's own
    // texture and rectangle.
    Placement place(const sf::Sprite& sprite, bool smooth);

    // Drops every copy. Only for when the textures they were made from are
    // freed (a copy is found by its source's address, which a new texture
    // may reuse) and nothing draws from the copies any more.
    void clear() { copies.clear(); }
    // Back to the just-constructed atlas (no copies); the same conditions as `clear`.
    void reset() { clear(); }

    // Border width in pixels; even, so that the first mipmap levels of a
    // tile do not reach into the next tile.
    static constexpr int border = 2;

private:
    TileAtlas() = default;
    struct Copy {
        // Empty when no copy could be made.
        std::unique_ptr<sf::Texture> texture;
        int columns = 0;
        // Per tile, row by row: whether all its pixels are opaque.
        std::vector<bool> opaque;
    };
    Copy makeCopy(const sf::Texture& source, sf::Vector2i tile, bool smooth) const;

    // (source, tile width, tile height, smooth) -> copy.
    std::map<std::tuple<const sf::Texture*, int, int, bool>, Copy> copies;
};
