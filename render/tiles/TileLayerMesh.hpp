#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Vertex.hpp>

// The tiles of one layer as textured triangles, ready to draw. Tiles are
// added in drawing order and kept in blocks of a few hundred pixels square,
// so that a frame draws only the blocks the view shows, in one draw call per
// run of tiles that share a texture. Holds texture pointers only: the
// textures must outlive the mesh (the asset manager keeps them for the run).
class TileLayerMesh {
public:
    // Starts a new block; tiles go to the last block begun, and blocks are
    // drawn in the order they were begun.
    void beginBlock();
    // A tile: the `rectangle` of `texture` drawn into the rectangle of
    // `size` pixels whose top-left corner is `position`, turned by the
    // TmxFlip `flips`, its colours multiplied by `colour`. An `opaque` tile
    // (every pixel opaque, `colour` too) replaces what is beneath it
    // without blending, which gives the same picture for less work.
    void addTile(const sf::Texture* texture, const sf::IntRect& rectangle, sf::Vector2f position,
                 sf::Vector2f size, uint8_t flips, sf::Color colour, bool opaque);
    // A tile drawn without a texture: the rectangle of `size` at `position`,
    // coloured `top` along its top edge and `bottom` along its bottom edge,
    // evenly between (see TileAtlas::Placement::ramp). Opaque colours
    // replace what is beneath without blending.
    void addRamp(sf::Vector2f position, sf::Vector2f size, sf::Color top, sf::Color bottom);
    // The same for a layer whose tiles all keep to their cells, so that no
    // tile overlaps another and their order does not show: the ramp is
    // drawn before the blocks, joined with the ramps of the same colours
    // that continue it along its row (see `joinRamps`). A software renderer
    // fills a few long strips for far less than many small quads.
    void addLooseRamp(sf::Vector2f position, sf::Vector2f size, sf::Color top, sf::Color bottom);
    // Joins the loose ramps added so far into strips; call once they are all added.
    void joinRamps();
    // Closes the block begun last. With `anyOrder` (its tiles do not
    // overlap, so their order does not show) its tiles are grouped by
    // texture, for fewer draw calls.
    void endBlock(bool anyOrder);

    // Draws the blocks that meet `visible` (in the mesh's own coordinates,
    // before `states.transform`). Opaque tiles are drawn without blending
    // when `states` blend as usual (alpha blending).
    void draw(sf::RenderTarget& target, sf::RenderStates states, const sf::FloatRect& visible) const;

    std::size_t tileCount() const { return vertices.size() / 6 + looseRampCount; }
    // The quads drawn for the loose ramps once joined.
    std::size_t stripCount() const { return strips.size(); }
    // The area the tiles cover, in the mesh's own coordinates; empty without tiles.
    sf::FloatRect bounds() const { return covered; }

private:
    // How a tile is drawn: the texture (none for a ramp), and whether
    // blending can be left out.
    struct Look {
        const sf::Texture* texture;
        bool opaque;
        bool operator==(const Look& other) const {
            return texture == other.texture && opaque == other.opaque;
        }
        bool operator<(const Look& other) const {
            return std::less<const sf::Texture*>()(texture, other.texture) ||
                   (texture == other.texture && opaque < other.opaque);
        }
    };
    struct Run {
        Look look;
        std::size_t first;
        std::size_t count;
    };
    struct Block {
        sf::FloatRect bounds;
        std::size_t firstRun;
        std::size_t runCount;
        std::size_t firstVertex;
    };
    std::vector<sf::Vertex> vertices;
    // One per tile.
    std::vector<Look> looks;
    std::vector<Run> runs;
    std::vector<Block> blocks;
    sf::FloatRect covered;
    struct Strip {
        sf::FloatRect area;
        sf::Color top, bottom;
    };
    // Loose ramps, joined into strips by `joinRamps`, and their quads.
    std::vector<Strip> strips;
    std::size_t looseRampCount = 0;
    std::vector<sf::Vertex> stripVertices;
    sf::FloatRect stripBounds;
    bool stripsOpaque = true;
};
