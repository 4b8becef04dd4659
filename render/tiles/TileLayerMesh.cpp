#include "render/tiles/TileLayerMesh.hpp"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

#include "tmx/TmxMap.hpp"

namespace {

sf::FloatRect unite(const sf::FloatRect& a, const sf::FloatRect& b) {
    if (a.width <= 0.f && a.height <= 0.f) {
        return b;
    }
    const float left = std::min(a.left, b.left);
    const float top = std::min(a.top, b.top);
    const float right = std::max(a.left + a.width, b.left + b.width);
    const float bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

// A quad coloured `top` along its top edge and `bottom` along its bottom
// edge, as two triangles.
void appendRamp(std::vector<sf::Vertex>& to, const sf::FloatRect& area, sf::Color top, sf::Color bottom) {
    const sf::Vector2f position(area.left, area.top);
    const sf::Vertex topLeft(position, top);
    const sf::Vertex topRight(position + sf::Vector2f(area.width, 0.f), top);
    const sf::Vertex bottomLeft(position + sf::Vector2f(0.f, area.height), bottom);
    const sf::Vertex bottomRight(position + sf::Vector2f(area.width, area.height), bottom);
    for (const sf::Vertex& vertex : {topLeft, bottomLeft, topRight, topRight, bottomLeft, bottomRight}) {
        to.push_back(vertex);
    }
}

} // namespace

void TileLayerMesh::beginBlock() {
    blocks.push_back({sf::FloatRect(), runs.size(), 0, vertices.size()});
}

void TileLayerMesh::addTile(const sf::Texture* texture, const sf::IntRect& rectangle, sf::Vector2f position,
                            sf::Vector2f size, uint8_t flips, sf::Color colour, bool opaque) {
    if (blocks.empty()) {
        beginBlock();
    }
    // Which corner of the picture each corner of the cell shows: the
    // diagonal flip mirrors across the top-left to bottom-right diagonal
    // after the other two.
    auto textureCorner = [&](float x, float y) {
        if (flips & tmxFlipHorizontal) {
            x = 1.f - x;
        }
        if (flips & tmxFlipVertical) {
            y = 1.f - y;
        }
        if (flips & tmxFlipDiagonal) {
            std::swap(x, y);
        }
        return sf::Vector2f(static_cast<float>(rectangle.left) + x * static_cast<float>(rectangle.width),
                            static_cast<float>(rectangle.top) + y * static_cast<float>(rectangle.height));
    };
    const sf::Vertex topLeft(position, colour, textureCorner(0.f, 0.f));
    const sf::Vertex topRight(position + sf::Vector2f(size.x, 0.f), colour, textureCorner(1.f, 0.f));
    const sf::Vertex bottomLeft(position + sf::Vector2f(0.f, size.y), colour, textureCorner(0.f, 1.f));
    const sf::Vertex bottomRight(position + size, colour, textureCorner(1.f, 1.f));
    for (const sf::Vertex& vertex : {topLeft, bottomLeft, topRight, topRight, bottomLeft, bottomRight}) {
        vertices.push_back(vertex);
    }
    looks.push_back({texture, opaque && colour.a == 255});
    const sf::FloatRect area(position, size);
    blocks.back().bounds = unite(blocks.back().bounds, area);
    covered = unite(covered, area);
}

void TileLayerMesh::addRamp(sf::Vector2f position, sf::Vector2f size, sf::Color top, sf::Color bottom) {
    if (blocks.empty()) {
        beginBlock();
    }
    const sf::FloatRect area(position, size);
    appendRamp(vertices, area, top, bottom);
    looks.push_back({nullptr, top.a == 255 && bottom.a == 255});
    blocks.back().bounds = unite(blocks.back().bounds, area);
    covered = unite(covered, area);
}

void TileLayerMesh::addLooseRamp(sf::Vector2f position, sf::Vector2f size, sf::Color top, sf::Color bottom) {
    strips.push_back({sf::FloatRect(position, size), top, bottom});
    ++looseRampCount;
    covered = unite(covered, strips.back().area);
}

void TileLayerMesh::joinRamps() {
    // Row by row, left to right: a ramp joins the strip before it when it
    // starts where that one ends, on the same row and in the same colours.
    std::sort(strips.begin(), strips.end(), [](const Strip& a, const Strip& b) {
        return std::make_tuple(a.area.top, a.area.height, a.area.left) <
               std::make_tuple(b.area.top, b.area.height, b.area.left);
    });
    std::vector<Strip> joined;
    for (const Strip& strip : strips) {
        if (!joined.empty()) {
            Strip& last = joined.back();
            if (last.area.top == strip.area.top && last.area.height == strip.area.height &&
                last.area.left + last.area.width == strip.area.left && last.top == strip.top &&
                last.bottom == strip.bottom) {
                last.area.width += strip.area.width;
                continue;
            }
        }
        joined.push_back(strip);
    }
    strips = std::move(joined);
    stripVertices.clear();
    stripBounds = sf::FloatRect();
    stripsOpaque = true;
    for (const Strip& strip : strips) {
        appendRamp(stripVertices, strip.area, strip.top, strip.bottom);
        stripBounds = unite(stripBounds, strip.area);
        stripsOpaque = stripsOpaque && strip.top.a == 255 && strip.bottom.a == 255;
    }
}

void TileLayerMesh::endBlock(bool anyOrder) {
    if (blocks.empty()) {
        return;
    }
    Block& block = blocks.back();
    const std::size_t firstTile = block.firstVertex / 6;
    const std::size_t tiles = looks.size() - firstTile;
    if (anyOrder && tiles > 1) {
        std::vector<std::size_t> order(tiles);
        std::iota(order.begin(), order.end(), firstTile);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return looks[a] < looks[b]; });
        std::vector<sf::Vertex> sorted;
        std::vector<Look> sortedLooks;
        sorted.reserve(tiles * 6);
        for (std::size_t tile : order) {
            sorted.insert(sorted.end(), vertices.begin() + static_cast<std::ptrdiff_t>(tile * 6),
                          vertices.begin() + static_cast<std::ptrdiff_t>(tile * 6 + 6));
            sortedLooks.push_back(looks[tile]);
        }
        std::copy(sorted.begin(), sorted.end(),
                  vertices.begin() + static_cast<std::ptrdiff_t>(block.firstVertex));
        std::copy(sortedLooks.begin(), sortedLooks.end(),
                  looks.begin() + static_cast<std::ptrdiff_t>(firstTile));
    }
    block.firstRun = runs.size();
    for (std::size_t tile = firstTile; tile < looks.size(); ++tile) {
        if (runs.size() > block.firstRun && runs.back().look == looks[tile]) {
            runs.back().count += 6;
        } else {
            runs.push_back({looks[tile], tile * 6, 6});
        }
    }
    block.runCount = runs.size() - block.firstRun;
}

void TileLayerMesh::draw(sf::RenderTarget& target, sf::RenderStates states,
                         const sf::FloatRect& visible) const {
    // Runs of neighbouring visible blocks that continue one another in the
    // vertex list and share a texture go out as one draw call.
    const Run* pending = nullptr;
    std::size_t pendingEnd = 0;
    const sf::BlendMode blending = states.blendMode;
    const bool canSkipBlending = blending == sf::BlendAlpha;
    if (!stripVertices.empty() && stripBounds.intersects(visible)) {
        // Strips beyond the view are cut away by the renderer for nothing.
        sf::RenderStates stripStates = states;
        stripStates.texture = nullptr;
        stripStates.blendMode = stripsOpaque && canSkipBlending ? sf::BlendNone : blending;
        target.draw(stripVertices.data(), stripVertices.size(), sf::Triangles, stripStates);
    }
    auto flush = [&] {
        if (pending) {
            states.texture = pending->look.texture;
            states.blendMode = pending->look.opaque && canSkipBlending ? sf::BlendNone : blending;
            target.draw(&vertices[pending->first], pendingEnd - pending->first, sf::Triangles, states);
            pending = nullptr;
        }
    };
    for (const Block& block : blocks) {
        if (block.runCount == 0 || !block.bounds.intersects(visible)) {
            continue;
        }
        for (std::size_t i = block.firstRun; i < block.firstRun + block.runCount; ++i) {
            const Run& run = runs[i];
            if (pending && pending->look == run.look && pendingEnd == run.first) {
                pendingEnd += run.count;
                continue;
            }
            flush();
            pending = &run;
            pendingEnd = run.first + run.count;
        }
    }
    flush();
}
