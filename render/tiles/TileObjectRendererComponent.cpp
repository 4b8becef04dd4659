#include "render/tiles/TileObjectRendererComponent.hpp"

#include <utility>

#include "render/tiles/TextureFilter.hpp"
#include "render/tiles/TileAtlas.hpp"
#include "render/tiles/TileDrawing.hpp"
#include "scene/GameObject.hpp"

TileObjectRendererComponent::TileObjectRendererComponent(std::shared_ptr<TileMapLayer> tiles,
                                                         const TmxObjectGroup& group, const TmxObject& object,
                                                         sf::Vector2f anchor,
                                                         const std::shared_ptr<Layer>& renderLayer,
                                                         bool smooth)
    : tiles(std::move(tiles)), anchor(anchor), rotation(object.rotation),
      parallax(group.parallaxX, group.parallaxY), tinted(isTinted(group.tint)) {
    setLayer(renderLayer);
    if (!this->tiles) {
        return;
    }
    auto sprite = this->tiles->getSprite(object.gid);
    if (!sprite || !sprite->getTexture()) {
        return;
    }
    const TmxTileset* tileset = this->tiles->findTileset(object.gid);
    const sf::IntRect rectangle = sprite->getTextureRect();
    const sf::Vector2f tileSize(static_cast<float>(rectangle.width), static_cast<float>(rectangle.height));
    if (rectangle.width <= 0 || rectangle.height <= 0) {
        return;
    }
    const sf::Vector2f size =
        object.width > 0 && object.height > 0
            ? sf::Vector2f(static_cast<float>(object.width), static_cast<float>(object.height))
            : tileSize;
    // The tileset's offset stretches with the tile.
    const sf::Vector2f offset(tileset ? static_cast<float>(tileset->tileOffsetX) * size.x / tileSize.x : 0.f,
                              tileset ? static_cast<float>(tileset->tileOffsetY) * size.y / tileSize.y : 0.f);
    const TileAtlas::Placement placement = TileAtlas::instance().place(
        *sprite, smooth, tileset ? tileset->margin : 0, tileset ? tileset->spacing : 0);
    // Only the two flips the editor gives objects: a diagonal flag would
    // turn the tile out of the object's rectangle.
    const uint8_t flips = object.flips & (tmxFlipHorizontal | tmxFlipVertical);
    mesh.beginBlock();
    mesh.addTile(placement.texture, placement.rectangle, sf::Vector2f(offset.x, offset.y - size.y), size,
                 flips, tintColour(group.tint, group.opacity), placement.opaque);
    mesh.endBlock(true);
}

void TileObjectRendererComponent::draw(float, float, sf::RenderTarget& target) {
    auto owner = getGameObject();
    if (!isEnabled() || !owner || !owner->transform || !hasTile()) {
        return;
    }
    sf::Transform transform;
    transform.translate(owner->transform->getPosition());
    transform.rotate(owner->transform->getRotation());
    transform.scale(owner->transform->getWorldScale());
    // Maps are instantiated centred on the world origin: the group's
    // parallax shifts the object as it shifts a layer there.
    if (tiles && tiles->map) {
        const sf::Vector2f shift =
            parallaxShift(target, sf::Transform(), parallax, parallaxOrigin(*tiles->map));
        transform = sf::Transform().translate(shift) * transform;
    }
    transform.translate(anchor);
    transform.rotate(rotation);
    sf::RenderStates states(transform);
    if (tinted) {
        states.shader = tintShader();
    }
    TileAtlas::instance().drawAtScale(scaleOnTarget(target, transform));
    mesh.draw(target, states, visibleArea(target, transform));
}
