#include "scene/LayerRenderComponent.hpp"

#include <cstdio>
#include <utility>

#include <SFML/Graphics/BlendMode.hpp>
#include <SFML/Graphics/RenderStates.hpp>

#include "scene/GameObject.hpp"
#include "scene/TileBatch.hpp"

namespace {

// Painting blends every tile over the transparent texture, which leaves
// each pixel's colour already multiplied by its alpha. Drawing the texture
// with ordinary alpha blending would multiply it a second time and darken
// every half-transparent edge of the tiles, so it is drawn as premultiplied.
const sf::BlendMode premultipliedAlpha(sf::BlendMode::One, sf::BlendMode::OneMinusSrcAlpha);

} // namespace

LayerRenderComponent::LayerRenderComponent(std::shared_ptr<TileMapLayer> tileMapLayer,
                                           const std::shared_ptr<Layer>& renderLayer, bool smooth,
                                           int32_t depth, std::weak_ptr<LayerRenderComponent> base)
    : RenderableComponent(depth), tileMapLayer(std::move(tileMapLayer)), base(std::move(base)) {
    setLayer(renderLayer);
    paint(smooth);
}

std::shared_ptr<sf::Sprite> LayerRenderComponent::cachedSprite(int globalId) {
    auto found = spriteCache.find(globalId);
    if (found != spriteCache.end()) {
        return found->second;
    }
    auto sprite = tileMapLayer->getSprite(globalId);
    spriteCache.emplace(globalId, sprite);
    return sprite;
}

void LayerRenderComponent::paint(bool smooth) {
    if (!tileMapLayer || !tileMapLayer->layer || !tileMapLayer->map) {
        return;
    }
    const TmxLayer& layer = *tileMapLayer->layer;
    const int tileWidth = tileMapLayer->map->tileWidth;
    const int tileHeight = tileMapLayer->map->tileHeight;
    const long long pixelWidth = static_cast<long long>(tileWidth) * layer.width;
    const long long pixelHeight = static_cast<long long>(tileHeight) * layer.height;
    const long long largest = sf::Texture::getMaximumSize();
    auto painted = std::make_shared<sf::RenderTexture>();
    if (pixelWidth <= 0 || pixelHeight <= 0 || pixelWidth > largest || pixelHeight > largest ||
        !painted->create(static_cast<unsigned>(pixelWidth), static_cast<unsigned>(pixelHeight))) {
        std::printf("Map %s: tile layer %s (%lld x %lld pixels) cannot be painted\n",
                    tileMapLayer->mapName.c_str(), layer.name.c_str(), pixelWidth, pixelHeight);
        return;
    }
    painted->setSmooth(smooth);
    painted->clear(sf::Color::Transparent);

    auto below = base.lock();
    if (below && below->texture) {
        // Copied, not blended: the base picture replaces the cleared pixels.
        painted->draw(sf::Sprite(below->texture->getTexture()),
                      sf::RenderStates(sf::BlendMode(sf::BlendMode::One, sf::BlendMode::Zero)));
    }

    // Column by column, top to bottom: a tall tile reaches up over the cell
    // above, painted earlier, as the map editor draws it. Consecutive tiles of
    // one tileset go to the texture in one draw call; the picture is the same
    // as drawing every tile sprite on its own, in the same order.
    TileBatch batch(*painted);
    for (int column = 0; column < layer.width; ++column) {
        for (int row = 0; row < layer.height; ++row) {
            const size_t cell = static_cast<size_t>(column) + static_cast<size_t>(row) * layer.width;
            const int globalId = cell < layer.data.size() ? layer.data[cell] : 0;
            if (globalId == 0) {
                continue;
            }
            auto sprite = cachedSprite(globalId);
            if (!sprite) {
                continue;
            }
            // Tiles stand on the bottom-left corner of their cell.
            sprite->setOrigin(0.f, static_cast<float>(sprite->getTextureRect().height));
            sprite->setPosition(static_cast<float>(column * tileWidth),
                                static_cast<float>((row + 1) * tileHeight));
            batch.add(*sprite);
        }
    }
    batch.flush();
    // Mipmaps after display: finishing a render texture discards any made before.
    painted->display();
    painted->generateMipmap();
    texture = std::move(painted);
}

void LayerRenderComponent::draw(float, float, sf::RenderTarget& target) {
    auto owner = getGameObject();
    if (!isEnabled() || !tileMapLayer || !texture || !owner || !owner->transform) {
        return;
    }
    const sf::Texture& picture = texture->getTexture();
    sf::Sprite sprite(picture);
    sprite.setOrigin(picture.getSize().x / 2.f, picture.getSize().y / 2.f);
    sprite.setPosition(owner->transform->getPosition());
    sprite.setRotation(owner->transform->getRotation());
    sprite.setScale(owner->transform->getWorldScale());
    target.draw(sprite, sf::RenderStates(premultipliedAlpha));
}
