#include "render/tiles/TileAtlas.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <SFML/Graphics/Image.hpp>

#include "render/tiles/TextureFilter.hpp"

TileAtlas& TileAtlas::instance() {
    static TileAtlas atlas;
    return atlas;
}

TileAtlas::Placement TileAtlas::place(const sf::Sprite& sprite, bool smooth, int margin, int spacing) {
    const sf::Texture* source = sprite.getTexture();
    const sf::IntRect rectangle = sprite.getTextureRect();
    Placement placement;
    placement.texture = source;
    placement.rectangle = rectangle;
    if (!source || rectangle.width <= 0 || rectangle.height <= 0 || margin < 0 || spacing < 0) {
        return placement;
    }
    // Only tiles cut on the grid of their tileset have a place in a copy.
    const TilesetGrid grid =
        TilesetGrid::of(source->getSize(), rectangle.width, rectangle.height, margin, spacing);
    int column = 0;
    int row = 0;
    if (!grid.locate(rectangle, column, row)) {
        return placement;
    }
    const auto key = std::make_tuple(source, rectangle.width, rectangle.height, margin, spacing, smooth);
    auto found = copies.find(key);
    if (found == copies.end()) {
        found = copies.emplace(key, makeCopy(*source, grid)).first;
        if (found->second.texture && smooth) {
            smoothen(*found->second.texture);
        }
    }
    const Copy& copy = found->second;
    if (!copy.texture) {
        return placement;
    }
    const size_t tile =
        static_cast<size_t>(row) * static_cast<size_t>(copy.columns) + static_cast<size_t>(column);
    placement.texture = copy.texture.get();
    placement.rectangle =
        sf::IntRect(column * (rectangle.width + 2 * border) + border,
                    row * (rectangle.height + 2 * border) + border, rectangle.width, rectangle.height);
    placement.opaque = tile < copy.opaque.size() && copy.opaque[tile];
    if (tile < copy.ramps.size() && copy.ramps[tile]) {
        placement.ramp = true;
        placement.top = copy.ramps[tile]->first;
        placement.bottom = copy.ramps[tile]->second;
    }
    return placement;
}

void TileAtlas::smoothen(sf::Texture& texture) {
    if (!smoothWithNearestMipmaps(texture)) {
        return;
    }
    mipmapped.push_back(&texture);
    if (!mipmapsSampled) {
        sampleMipmaps(texture, false);
    }
}

void TileAtlas::drawAtScale(float scale) {
    const bool sampled = scale < mipmapScale;
    if (sampled == mipmapsSampled) {
        return;
    }
    mipmapsSampled = sampled;
    for (const sf::Texture* texture : mipmapped) {
        sampleMipmaps(*texture, sampled);
    }
}

const sf::Texture* TileAtlas::repeating(const sf::Texture& source, bool smooth) {
    const auto key = std::make_pair(&source, smooth);
    auto found = repeatingCopies.find(key);
    if (found == repeatingCopies.end()) {
        auto copy = std::make_unique<sf::Texture>();
        if (copy->loadFromImage(source.copyToImage())) {
            copy->setRepeated(true);
            if (smooth) {
                smoothen(*copy);
            }
        } else {
            copy.reset();
        }
        found = repeatingCopies.emplace(key, std::move(copy)).first;
    }
    return found->second.get();
}

namespace {
// Colour channels further than this from the straight line between a
// tile's first and last rows make it no ramp: rounding to whole steps
// leaves a smooth gradient within two.
constexpr int rampTolerance = 2;

// The tile's edge colours when every row of `area` of `image` is one
// opaque colour and the rows change evenly from the first to the last.
std::optional<std::pair<sf::Color, sf::Color>> rampOf(const sf::Image& image, const sf::IntRect& area) {
    if (area.width <= 0 || area.height < 2) {
        return std::nullopt;
    }
    const unsigned width = image.getSize().x;
    const sf::Uint8* pixels = image.getPixelsPtr();
    auto at = [&](int x, int y) {
        return pixels + 4u * (static_cast<unsigned>(y) * width + static_cast<unsigned>(x));
    };
    const sf::Uint8* first = at(area.left, area.top);
    const sf::Uint8* last = at(area.left, area.top + area.height - 1);
    const int spans = area.height - 1;
    for (int y = 0; y < area.height; ++y) {
        const sf::Uint8* rowStart = at(area.left, area.top + y);
        if (rowStart[3] != 255) {
            return std::nullopt;
        }
        for (int channel = 0; channel < 3; ++channel) {
            const int expected = first[channel] + (last[channel] - first[channel]) * y / spans;
            if (std::abs(rowStart[channel] - expected) > rampTolerance) {
                return std::nullopt;
            }
        }
        for (int x = 1; x < area.width; ++x) {
            if (std::memcmp(rowStart, at(area.left + x, area.top + y), 4) != 0) {
                return std::nullopt;
            }
        }
    }
    // Sampled smoothly, the first and last rows are met at their centres,
    // half a row in from the edges; the edges carry the line on.
    auto edge = [&](const sf::Uint8* row, const sf::Uint8* other) {
        sf::Uint8 channels[3];
        for (int channel = 0; channel < 3; ++channel) {
            const float value =
                row[channel] + (row[channel] - other[channel]) * 0.5f / static_cast<float>(spans);
            channels[channel] = static_cast<sf::Uint8>(std::clamp(std::lround(value), 0L, 255L));
        }
        return sf::Color(channels[0], channels[1], channels[2]);
    };
    return std::make_pair(edge(first, last), edge(last, first));
}
} // namespace

TileAtlas::Copy TileAtlas::makeCopy(const sf::Texture& source, const TilesetGrid& grid) const {
    const sf::Image image = source.copyToImage();
    const int width = static_cast<int>(image.getSize().x);
    const int height = static_cast<int>(image.getSize().y);
    const sf::Vector2i tile(grid.tileWidth, grid.tileHeight);
    // In 64 bits: a tile may be as large as an int allows.
    const long long columns = grid.cutColumns;
    const long long rows = grid.cutRows;
    const long long copyWidth = columns * (tile.x + 2LL * border);
    const long long copyHeight = rows * (tile.y + 2LL * border);
    const long long largest = sf::Texture::getMaximumSize();
    Copy made;
    if (copyWidth <= 0 || copyHeight <= 0 || copyWidth > largest || copyHeight > largest) {
        return made;
    }
    made.columns = static_cast<int>(columns);
    made.opaque.assign(static_cast<size_t>(columns * rows), true);
    made.ramps.assign(static_cast<size_t>(columns * rows), std::nullopt);
    sf::Image copy;
    copy.create(static_cast<unsigned>(copyWidth), static_cast<unsigned>(copyHeight), sf::Color::Transparent);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            // Tiles at the right and bottom edges may be cut short by the image.
            const sf::IntRect from = grid.rectangle(column, row);
            const int left = from.left;
            const int top = from.top;
            const int right = std::min(width, left + tile.x) - 1;
            const int bottom = std::min(height, top + tile.y) - 1;
            const int toLeft = column * (tile.x + 2 * border) + border;
            const int toTop = row * (tile.y + 2 * border) + border;
            bool opaque = true;
            for (int y = -border; y < tile.y + border; ++y) {
                for (int x = -border; x < tile.x + border; ++x) {
                    const int fromX = std::clamp(left + x, left, right);
                    const int fromY = std::clamp(top + y, top, bottom);
                    const sf::Color pixel =
                        image.getPixel(static_cast<unsigned>(fromX), static_cast<unsigned>(fromY));
                    opaque = opaque && pixel.a == 255;
                    copy.setPixel(static_cast<unsigned>(toLeft + x), static_cast<unsigned>(toTop + y), pixel);
                }
            }
            // A tile cut short by the image is transparent where the image ends.
            opaque = opaque && right - left + 1 == tile.x && bottom - top + 1 == tile.y;
            made.opaque[static_cast<size_t>(row * columns + column)] = opaque;
            if (opaque) {
                made.ramps[static_cast<size_t>(row * columns + column)] =
                    rampOf(image, sf::IntRect(left, top, tile.x, tile.y));
            }
        }
    }
    auto texture = std::make_unique<sf::Texture>();
    if (!texture->loadFromImage(copy)) {
        return Copy();
    }
    made.texture = std::move(texture);
    return made;
}
