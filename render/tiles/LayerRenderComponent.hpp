#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <SFML/Graphics/Sprite.hpp>

#include "render/RenderableComponent.hpp"
#include "render/tiles/TileAtlas.hpp"
#include "render/tiles/TileLayerMesh.hpp"
#include "render/tiles/TileMapLayer.hpp"

// Draws one tile layer (or image layer) of a map. At construction the
// layer's non-empty tiles become a mesh of textured quads, flipped as the
// file says, shifted by their tileset's offset, standing on the bottom-left
// corner of their cell, put in the map's render order where they overlap,
// and coloured with the layer's tint and opacity; every frame the part of
// it the view shows is drawn straight from the tileset textures, centred on
// the owner's world position with its world rotation and scale, shifted by
// the layer's offset and by its parallax (how far the view's centre is from
// the map's parallax origin, times 1 - the layer's factor). An image layer
// that repeats fills the view along that axis. A hidden layer draws
// nothing. Later changes to the map model or the tile sprites are not seen.
class LayerRenderComponent : public RenderableComponent {
public:
    // `renderLayer` may be empty (the component is then drawn beneath all
    // layered renderables). `smooth` sets whether the tiles are smoothed
    // (and mipmapped) when the view scales them. `base`, when alive, is a layer
    // drawn beneath this one's tiles, as part of this component.
    LayerRenderComponent(std::shared_ptr<TileMapLayer> tileMapLayer,
                         const std::shared_ptr<Layer>& renderLayer, bool smooth, int32_t depth = 0,
                         std::weak_ptr<LayerRenderComponent> base = {});

    void draw(float delta, float time, sf::RenderTarget& target) override;

    // The layer's size in pixels (tile size x layer size; an image layer's
    // is its map's), centred on the owner.
    sf::Vector2f getSize() const { return size; }
    // How many tiles the layer draws.
    std::size_t tileCount() const { return mesh.tileCount(); }
    // Tiles per layer at most (a full layer of 1024 x 1024 cells, about
    // 120 MB of vertices): a layer of absurd size costs a message and its
    // remaining tiles, not all memory. Those beyond it are reported once.
    static constexpr std::size_t maxTiles = std::size_t(1) << 20;

    // Cells (row by row) holding a tile that covers the whole cell opaquely,
    // as far as this layer hides what is beneath it: empty for a hidden or
    // see-through layer and for an image layer.
    const std::vector<bool>& solidCells() const { return solid; }
    // Leaves the tiles of the `covered` cells out of the drawing for as long
    // as every layer of `covering` (whose solid cells, at the same offset,
    // make up `covered`) is shown above this one: under an opaque tile a
    // tile costs a software renderer its whole area for no pixel. Frames
    // in which one of them is hidden, disabled or gone draw every tile.
    void leaveOutCovered(const std::vector<bool>& covered,
                         std::vector<std::weak_ptr<LayerRenderComponent>> covering);
    // How many tiles a frame draws while the covering layers are shown.
    std::size_t uncoveredTileCount() const { return covering.empty() ? tileCount() : uncovered.tileCount(); }

    // Tile sprites by global id, looked up once per id while building (an
    // empty entry remembers an id that has no sprite).
    std::map<int, std::shared_ptr<sf::Sprite>> spriteCache;
    std::shared_ptr<TileMapLayer> tileMapLayer;
    std::weak_ptr<LayerRenderComponent> base;

private:
    void build();
    // Adds the layer's tiles to `target`, those of the `leaveOut` cells
    // excepted (when given), and notes the solid cells.
    void addTiles(TileLayerMesh& target, const std::vector<bool>* leaveOut);
    void buildImage(bool smooth);
    std::shared_ptr<sf::Sprite> cachedSprite(int globalId);
    // How one tile id is drawn: its sprite, where it lies in the bordered
    // copies, and its tileset's offset.
    struct TileLook {
        std::shared_ptr<sf::Sprite> sprite;
        TileAtlas::Placement placement;
        sf::Vector2f offset;
    };
    // The look of a tile id, kept in `looks`; null for an id without a sprite.
    const TileLook* lookOf(int globalId, std::map<int, TileLook>& looks);
    // Draws the mesh with the owner's transform, as far as the view shows it.
    void drawMesh(sf::RenderTarget& target, const sf::Transform& transform, bool leaveOutCovered) const;
    // Draws a repeating image layer over the part of the view it fills.
    void drawRepeated(sf::RenderTarget& target, sf::RenderStates states) const;
    // Whether this frame draws the component, as the render manager decides it.
    bool isShown();
    // Whether every covering layer is shown and drawn after this one.
    bool coveringShown();

    TileLayerMesh mesh;
    // A repeating image layer: its picture in a texture that repeats
    // (owned by the tile atlas), the area of the copy at the layer's place,
    // and its colour. No texture for other layers.
    struct Repeated {
        const sf::Texture* texture = nullptr;
        sf::FloatRect area;
        sf::Color colour;
    } repeated;
    // The tiles without the covered ones, when `covering` is not empty.
    TileLayerMesh uncovered;
    std::vector<std::weak_ptr<LayerRenderComponent>> covering;
    std::vector<bool> solid;
    bool smooth = false;
    sf::Vector2f size;
    bool visible = true;
    // Drawn with the tint shader.
    bool tinted = false;
};
