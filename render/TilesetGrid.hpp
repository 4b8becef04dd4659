#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

// Where the tiles of a tileset image lie: tiles of tileWidth x tileHeight
// pixels, the first `margin` pixels in from the top-left corner, `spacing`
// pixels apart. Shared by the cutting of tilesets into sprites and the
// bordered copies tiles are drawn from, so both agree on every tile.
struct TilesetGrid {
    // The grid of an image of `imageSize` pixels. Sizes must be positive and
    // margin and spacing not negative.
    static TilesetGrid of(sf::Vector2u imageSize, int tileWidth, int tileHeight, int margin, int spacing);

    // The tile at `column`, `row` (may reach past the image, see cutColumns).
    sf::IntRect rectangle(int column, int row) const;
    // The column and row of the tile whose rectangle is `rectangle`; false
    // when it is not one of this grid's tiles.
    bool locate(const sf::IntRect& rectangle, int& column, int& row) const;

    int tileWidth = 0;
    int tileHeight = 0;
    int margin = 0;
    int spacing = 0;
    // Whole tiles in a row of the image: what tile numbers count by.
    int columns = 0;
    // The tiles cut. A grid without margin and spacing also cuts the tiles
    // the right and bottom edges cut short (their rectangles reach past the
    // image); a spaced grid cuts only whole tiles, as the map editor does.
    int cutColumns = 0;
    int cutRows = 0;
};
