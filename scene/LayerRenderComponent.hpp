#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include "render/RenderableComponent.hpp"
#include "scene/TileMapLayer.hpp"

// Draws one tile layer of a map. The layer is painted once, at construction,
// into a texture of (map tile size x layer size) pixels; every frame the whole
// texture is drawn as one sprite centred on the owner's world position, with
// its world rotation and scale. The texture holds premultiplied colours and
// is drawn with premultiplied blending, so half-transparent tile pixels look
// as they do in the tileset image. Later changes to the map model or the tile
// sprites are not seen.
class LayerRenderComponent : public RenderableComponent {
public:
    // `renderLayer` may be empty (the component is then drawn beneath all
    // layered renderables). `base`, when alive, is a layer whose picture is
    // copied in before the tiles are painted over it. A layer whose texture
    // cannot be made (no area, or larger than the graphics driver allows) is
    // reported and draws nothing.
    LayerRenderComponent(std::shared_ptr<TileMapLayer> tileMapLayer,
                         const std::shared_ptr<Layer>& renderLayer, bool smooth, int32_t depth = 0,
                         std::weak_ptr<LayerRenderComponent> base = {});

    void draw(float delta, float time, sf::RenderTarget& target) override;

    // Tile sprites by global id, looked up once per id while painting (an
    // empty entry remembers an id that has no sprite).
    std::map<int, std::shared_ptr<sf::Sprite>> spriteCache;
    // The painted layer; empty when it could not be made.
    std::shared_ptr<sf::RenderTexture> texture;
    std::shared_ptr<TileMapLayer> tileMapLayer;
    std::weak_ptr<LayerRenderComponent> base;

private:
    void paint(bool smooth);
    std::shared_ptr<sf::Sprite> cachedSprite(int globalId);
};
