#pragma once

#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "render/TilesetGrid.hpp"

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
        // An opaque tile whose rows are each one colour, changing evenly
        // from top to bottom (a sky's gradient): it may be drawn as a quad
        // of two colours, `top` and `bottom` at its edges, instead of
        // sampling the texture. A software renderer fills that for a
        // fraction of the cost, and the picture differs by at most a step
        // or two of a colour channel.
        bool ramp = false;
        sf::Color top, bottom;
    };
    // Where the tile `sprite` shows (its texture rectangle, cut on a grid of
    // that rectangle's size with the tileset's `margin` and `spacing`) lies
    // in the bordered copy. When the rectangle is not on that grid, or no
    // copy can be made (larger than the graphics driver allows), the
    // sprite's own texture and rectangle.
    Placement place(const sf::Sprite& sprite, bool smooth, int margin = 0, int spacing = 0);

    // A copy of `source` that repeats past its edges (for pictures that
    // fill a view), smoothed and mipmapped as the tile copies are; null when
    // none can be made. Made once per source and smoothing.
    const sf::Texture* repeating(const sf::Texture& source, bool smooth);

    // To be called before drawing copies at `scale` (window pixels per
    // texture pixel, see scaleOnTarget): the mipmapped copies sample their
    // mipmaps only below `mipmapScale`. Above it the nearest level is the
    // full-size picture, which plain smoothing gives for less work. Touches
    // the textures only when that choice changes; copies made later follow it.
    void drawAtScale(float scale);
    // Nearest-level sampling shows the full-size level down to 1/sqrt(2) of
    // the size; the margin keeps the renderer's rounding of the level away.
    static constexpr float mipmapScale = 0.75f;

    // Drops every copy. Only for when the textures they were made from are
    // freed (a copy is found by its source's address, which a new texture
    // may reuse) and nothing draws from the copies any more.
    void clear() {
        copies.clear();
        repeatingCopies.clear();
        mipmapped.clear();
    }
    // Back to the just-constructed atlas (no copies, mipmaps sampled); the
    // same conditions as `clear`.
    void reset() {
        clear();
        mipmapsSampled = true;
    }

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
        // Per tile, row by row: its colours at the top and bottom edges when
        // it is a ramp (see Placement), else nothing.
        std::vector<std::optional<std::pair<sf::Color, sf::Color>>> ramps;
    };
    Copy makeCopy(const sf::Texture& source, const TilesetGrid& grid) const;

    // Gives a copy just made mipmaps when it is smoothed, sampled as the
    // last `drawAtScale` chose.
    void smoothen(sf::Texture& texture);
    // (source, tile width, tile height, margin, spacing, smooth) -> copy.
    std::map<std::tuple<const sf::Texture*, int, int, int, int, bool>, Copy> copies;
    // (source, smooth) -> repeating copy, empty when none could be made.
    std::map<std::pair<const sf::Texture*, bool>, std::unique_ptr<sf::Texture>> repeatingCopies;
    // The copies that have mipmaps (smoothed, and the driver made them).
    std::vector<const sf::Texture*> mipmapped;
    bool mipmapsSampled = true;
};
