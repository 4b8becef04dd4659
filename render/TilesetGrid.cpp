#include "render/TilesetGrid.hpp"

#include <algorithm>
#include <climits>

namespace {

// Whole tiles along one side of `length` pixels. In 64 bits: a map may give
// sizes near the int limit.
int wholeTiles(long long length, long long tile, long long margin, long long spacing) {
    if (length < margin + tile) {
        return 0;
    }
    return static_cast<int>(std::min<long long>(INT_MAX, (length - margin + spacing) / (tile + spacing)));
}

int tilesRoundedUp(long long length, long long tile) {
    return static_cast<int>(std::min<long long>(INT_MAX, (length + tile - 1) / tile));
}

} // namespace

TilesetGrid TilesetGrid::of(sf::Vector2u imageSize, int tileWidth, int tileHeight, int margin, int spacing) {
    TilesetGrid grid;
    grid.tileWidth = tileWidth;
    grid.tileHeight = tileHeight;
    grid.margin = margin;
    grid.spacing = spacing;
    grid.columns = wholeTiles(imageSize.x, tileWidth, margin, spacing);
    if (margin == 0 && spacing == 0) {
        grid.cutColumns = tilesRoundedUp(imageSize.x, tileWidth);
        grid.cutRows = tilesRoundedUp(imageSize.y, tileHeight);
    } else {
        grid.cutColumns = grid.columns;
        grid.cutRows = wholeTiles(imageSize.y, tileHeight, margin, spacing);
    }
    return grid;
}

sf::IntRect TilesetGrid::rectangle(int column, int row) const {
    const long long left =
        margin + static_cast<long long>(column) * (tileWidth + static_cast<long long>(spacing));
    const long long top =
        margin + static_cast<long long>(row) * (tileHeight + static_cast<long long>(spacing));
    return {static_cast<int>(std::min<long long>(left, INT_MAX)),
            static_cast<int>(std::min<long long>(top, INT_MAX)), tileWidth, tileHeight};
}

bool TilesetGrid::locate(const sf::IntRect& tile, int& column, int& row) const {
    const long long stepX = tileWidth + static_cast<long long>(spacing);
    const long long stepY = tileHeight + static_cast<long long>(spacing);
    const long long fromLeft = static_cast<long long>(tile.left) - margin;
    const long long fromTop = static_cast<long long>(tile.top) - margin;
    if (tile.width != tileWidth || tile.height != tileHeight || fromLeft < 0 || fromTop < 0 ||
        fromLeft % stepX != 0 || fromTop % stepY != 0 || fromLeft / stepX >= cutColumns ||
        fromTop / stepY >= cutRows) {
        return false;
    }
    column = static_cast<int>(fromLeft / stepX);
    row = static_cast<int>(fromTop / stepY);
    return true;
}
