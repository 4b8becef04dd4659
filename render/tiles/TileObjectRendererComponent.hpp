#pragma once

#include <memory>

#include "render/RenderableComponent.hpp"
#include "render/tiles/TileLayerMesh.hpp"
#include "render/tiles/TileMapLayer.hpp"

// Draws the tile of a tile object (a map object with a gid) as the map
// editor shows it: the tile stretched to the object's size (its own size
// when the object gives none), standing on the object's anchor (the
// bottom-left corner of the tile, where TMX puts a tile object's x and y),
// shifted by its tileset's offset (scaled with the tile), turned by the
// object's rotation around the anchor, flipped as its gid says, and
// coloured with its group's tint and opacity; its group's parallax moves it
// as it moves the map's layers. The anchor rides along with the owner's
// world position, rotation and scale. Built once; an id without a sprite
// draws nothing.
class TileObjectRendererComponent : public RenderableComponent {
public:
    // `tiles` finds the map's tile sprites and tilesets (its layer is not
    // used). `anchor` is the tile's anchor relative to the owner's position,
    // in pixels. `group` and `object` are read while constructing only.
    TileObjectRendererComponent(std::shared_ptr<TileMapLayer> tiles, const TmxObjectGroup& group,
                                const TmxObject& object, sf::Vector2f anchor,
                                const std::shared_ptr<Layer>& renderLayer, bool smooth);

    void draw(float delta, float time, sf::RenderTarget& target) override;

    // Whether the object's tile was found (something is drawn).
    bool hasTile() const { return mesh.tileCount() != 0; }

private:
    std::shared_ptr<TileMapLayer> tiles;
    TileLayerMesh mesh;
    sf::Vector2f anchor;
    float rotation = 0.f;
    sf::Vector2f parallax{1.f, 1.f};
    bool tinted = false;
};
