#include "render/tiles/LayerRenderComponent.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/View.hpp>

#include "core/Report.hpp"
#include "render/AssetManager.hpp"
#include "render/tiles/TextureFilter.hpp"
#include "render/tiles/TileAtlas.hpp"
#include "render/tiles/TileDrawing.hpp"
#include "scene/GameObject.hpp"

namespace {

// Blocks of about this many pixels square: small enough that a view of a
// large map skips most of it, large enough that a screenful is a few blocks.
constexpr int blockPixels = 512;

sf::Color layerColour(const TmxLayer& layer) {
    return tintColour(layer.tint, layer.opacity);
}

} // namespace

LayerRenderComponent::LayerRenderComponent(std::shared_ptr<TileMapLayer> tileMapLayer,
                                           const std::shared_ptr<Layer>& renderLayer, bool smooth,
                                           int32_t depth, std::weak_ptr<LayerRenderComponent> base)
    : RenderableComponent(depth), tileMapLayer(std::move(tileMapLayer)), base(std::move(base)),
      smooth(smooth) {
    setLayer(renderLayer);
    build();
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

void LayerRenderComponent::build() {
    if (!tileMapLayer || !tileMapLayer->layer || !tileMapLayer->map) {
        return;
    }
    const TmxLayer& layer = *tileMapLayer->layer;
    visible = layer.visible;
    tinted = isTinted(layer.tint);
    if (!layer.imageSource.empty()) {
        buildImage(smooth);
        return;
    }
    size = sf::Vector2f(static_cast<float>(tileMapLayer->map->tileWidth) * static_cast<float>(layer.width),
                        static_cast<float>(tileMapLayer->map->tileHeight) * static_cast<float>(layer.height));
    addTiles(mesh, nullptr);
}

const LayerRenderComponent::TileLook* LayerRenderComponent::lookOf(int globalId,
                                                                   std::map<int, TileLook>& looks) {
    auto found = looks.find(globalId);
    if (found != looks.end()) {
        return found->second.sprite ? &found->second : nullptr;
    }
    TileLook look;
    auto sprite = cachedSprite(globalId);
    if (sprite && sprite->getTexture()) {
        const TmxTileset* tileset = tileMapLayer->findTileset(globalId);
        const int margin = tileset ? tileset->margin : 0;
        const int spacing = tileset ? tileset->spacing : 0;
        look.sprite = sprite;
        look.placement = TileAtlas::instance().place(*sprite, smooth, margin, spacing);
        if (tileset) {
            look.offset = sf::Vector2f(static_cast<float>(tileset->tileOffsetX),
                                       static_cast<float>(tileset->tileOffsetY));
        }
    }
    found = looks.emplace(globalId, look).first;
    return found->second.sprite ? &found->second : nullptr;
}

namespace {

// The tile's size as drawn: a tile turned across its diagonal swaps width and height.
sf::Vector2f drawnSize(const sf::IntRect& rectangle, uint8_t flips) {
    sf::Vector2f size(static_cast<float>(rectangle.width), static_cast<float>(rectangle.height));
    if (flips & tmxFlipDiagonal) {
        std::swap(size.x, size.y);
    }
    return size;
}

// Whether a tile of `size` shifted by `offset`, standing on the bottom-left
// corner of its cell, stays inside that cell.
bool staysInCell(sf::Vector2f size, sf::Vector2f offset, sf::Vector2f cell) {
    return offset.x >= 0.f && offset.x + size.x <= cell.x && offset.y <= 0.f && size.y - offset.y <= cell.y;
}

// One axis of the render order: the cells from first to last.
struct Sweep {
    int first;
    int step;
    int cell(int i) const { return first + step * i; }
};

} // namespace

void LayerRenderComponent::addTiles(TileLayerMesh& target, const std::vector<bool>* leaveOut) {
    // How each tile id is drawn, found once per id.
    std::map<int, TileLook> looks;
    const TmxLayer& layer = *tileMapLayer->layer;
    const TmxMap& map = *tileMapLayer->map;
    const sf::Vector2f cellSize(static_cast<float>(map.tileWidth), static_cast<float>(map.tileHeight));
    const sf::Vector2f origin(layer.offsetX - size.x / 2.f, layer.offsetY - size.y / 2.f);
    const sf::Color colour = layerColour(layer);
    const size_t cells = layer.data.size();
    // Only a shown, fully opaque layer hides what is beneath it.
    const bool hides = visible && colour.a == 255;
    solid.assign(hides ? cells : 0, false);
    bool overfull = false;

    // Tiles that reach out of their cell overlap others, and then the order
    // shows: it is the map's render order, block by block and in each block
    // cell by cell. That holds across blocks as long as tiles reach out
    // along one axis only; when some reach across and some up or down, a
    // tile may overlap one of a later row in an earlier column, so the
    // blocks become strips of whole rows.
    bool across = false;
    bool upOrDown = false;
    for (size_t cell = 0; cell < cells && !(across && upOrDown); ++cell) {
        const TileLook* look = layer.data[cell] != 0 ? lookOf(layer.data[cell], looks) : nullptr;
        if (look) {
            const uint8_t flips = cell < layer.flips.size() ? layer.flips[cell] : 0;
            const sf::Vector2f tile = drawnSize(look->sprite->getTextureRect(), flips);
            across = across || look->offset.x < 0.f || look->offset.x + tile.x > cellSize.x;
            upOrDown = upOrDown || look->offset.y > 0.f || tile.y - look->offset.y > cellSize.y;
        }
    }
    const int blockColumns =
        across && upOrDown ? std::max(1, layer.width) : std::max(1, blockPixels / std::max(1, map.tileWidth));
    const int blockRows = std::max(1, blockPixels / std::max(1, map.tileHeight));
    const bool rightward =
        map.renderOrder == TmxRenderOrder::rightDown || map.renderOrder == TmxRenderOrder::rightUp;
    const bool downward =
        map.renderOrder == TmxRenderOrder::rightDown || map.renderOrder == TmxRenderOrder::leftDown;
    const Sweep columnSweep = rightward ? Sweep{0, 1} : Sweep{layer.width - 1, -1};
    const Sweep rowSweep = downward ? Sweep{0, 1} : Sweep{layer.height - 1, -1};

    for (int blockRow = 0; blockRow < layer.height; blockRow += blockRows) {
        for (int blockColumn = 0; blockColumn < layer.width; blockColumn += blockColumns) {
            target.beginBlock();
            // Only when tiles overlap does their order show.
            bool anyOrder = true;
            for (int i = blockRow; i < std::min(layer.height, blockRow + blockRows); ++i) {
                const int row = rowSweep.cell(i);
                for (int j = blockColumn; j < std::min(layer.width, blockColumn + blockColumns); ++j) {
                    const int column = columnSweep.cell(j);
                    const size_t cell = static_cast<size_t>(column) + static_cast<size_t>(row) * layer.width;
                    const int globalId = cell < cells ? layer.data[cell] : 0;
                    const TileLook* look = globalId != 0 ? lookOf(globalId, looks) : nullptr;
                    if (!look) {
                        continue;
                    }
                    const uint8_t flips = cell < layer.flips.size() ? layer.flips[cell] : 0;
                    const sf::Vector2f tile = drawnSize(look->sprite->getTextureRect(), flips);
                    const bool inCell = staysInCell(tile, look->offset, cellSize);
                    // A covered tile goes only when all of it lies under the cover.
                    if (inCell && leaveOut && cell < leaveOut->size() && (*leaveOut)[cell]) {
                        continue;
                    }
                    if (target.tileCount() == maxTiles) {
                        overfull = true;
                        continue;
                    }
                    anyOrder = anyOrder && inCell;
                    // Tiles stand on the bottom-left corner of their cell,
                    // shifted by their tileset's offset. In floats: content
                    // may give any tile size.
                    const sf::Vector2f position(
                        origin.x + static_cast<float>(column) * cellSize.x + look->offset.x,
                        origin.y + static_cast<float>(row + 1) * cellSize.y - tile.y + look->offset.y);
                    const TileAtlas::Placement& placement = look->placement;
                    // A ramp turned across its diagonal would run sideways;
                    // the tint shader needs a texture.
                    if (placement.ramp && !(flips & tmxFlipDiagonal) && !tinted) {
                        const bool upsideDown = flips & tmxFlipVertical;
                        const sf::Color top = (upsideDown ? placement.bottom : placement.top) * colour;
                        const sf::Color bottom = (upsideDown ? placement.top : placement.bottom) * colour;
                        if (across || upOrDown) {
                            target.addRamp(position, tile, top, bottom);
                        } else {
                            target.addLooseRamp(position, tile, top, bottom);
                        }
                    } else {
                        target.addTile(placement.texture, placement.rectangle, position, tile, flips, colour,
                                       placement.opaque);
                    }
                    if (hides && placement.opaque && tile == cellSize && look->offset == sf::Vector2f()) {
                        solid[cell] = true;
                    }
                }
            }
            target.endBlock(anyOrder);
        }
    }
    target.joinRamps();
    if (overfull) {
        reportProblem("Map %s: tile layer %s has more than %zu tiles; only the first are drawn",
                      tileMapLayer->mapName.c_str(), layer.name.c_str(), maxTiles);
    }
}

void LayerRenderComponent::leaveOutCovered(const std::vector<bool>& covered,
                                           std::vector<std::weak_ptr<LayerRenderComponent>> layers) {
    if (!tileMapLayer || !tileMapLayer->layer || !tileMapLayer->layer->imageSource.empty() ||
        layers.empty()) {
        return;
    }
    // The solid cells stay those of the whole layer.
    const std::vector<bool> ownSolid = solid;
    uncovered = TileLayerMesh();
    addTiles(uncovered, &covered);
    solid = ownSolid;
    covering = std::move(layers);
}

bool LayerRenderComponent::isShown() {
    auto layer = getLayer();
    return visible && isEnabled() && (!layer || layer->visible);
}

bool LayerRenderComponent::coveringShown() {
    if (covering.empty()) {
        return false;
    }
    const auto ownLayer = getLayer();
    for (const auto& entry : covering) {
        auto above = entry.lock();
        if (!above || !above->isShown()) {
            return false;
        }
        // Drawn after this one: on a later render layer (a layerless
        // renderable is drawn beneath every layered one).
        const auto aboveLayer = above->getLayer();
        if (!aboveLayer || (ownLayer && aboveLayer->index <= ownLayer->index)) {
            return false;
        }
    }
    return true;
}

void LayerRenderComponent::buildImage(bool smooth) {
    const TmxLayer& layer = *tileMapLayer->layer;
    const TmxMap& map = *tileMapLayer->map;
    size = sf::Vector2f(static_cast<float>(map.tileWidth) * static_cast<float>(map.width),
                        static_cast<float>(map.tileHeight) * static_cast<float>(map.height));
    const std::string path = map.directory + layer.imageSource;
    const auto& sprites = AssetManager::instance().sprites;
    auto found = sprites.find(path);
    if (found == sprites.end() || !found->second || !found->second->getTexture()) {
        return;
    }
    const sf::IntRect rectangle = found->second->getTextureRect();
    const sf::Vector2f position(layer.offsetX - size.x / 2.f, layer.offsetY - size.y / 2.f);
    const sf::Vector2f pictureSize(static_cast<float>(rectangle.width), static_cast<float>(rectangle.height));
    if (layer.repeatX || layer.repeatY) {
        repeated.texture = TileAtlas::instance().repeating(*found->second->getTexture(), smooth);
        repeated.area = sf::FloatRect(position, pictureSize);
        repeated.colour = layerColour(layer);
        if (repeated.texture) {
            return;
        }
        // Without a repeating copy the picture is drawn once.
    }
    const TileAtlas::Placement placement = TileAtlas::instance().place(*found->second, smooth);
    mesh.beginBlock();
    mesh.addTile(placement.texture, placement.rectangle, position, pictureSize, 0, layerColour(layer),
                 placement.opaque);
    mesh.endBlock(true);
}

void LayerRenderComponent::drawRepeated(sf::RenderTarget& target, sf::RenderStates states) const {
    const TmxLayer& layer = *tileMapLayer->layer;
    const sf::FloatRect seen = visibleArea(target, states.transform);
    // Along a repeated axis the picture fills what the view shows, its
    // copies lined up with the one at the layer's place; along the other
    // it stands once, where the layer puts it.
    sf::FloatRect area = repeated.area;
    if (layer.repeatX) {
        area.left = seen.left;
        area.width = seen.width;
    }
    if (layer.repeatY) {
        area.top = seen.top;
        area.height = seen.height;
    }
    if (!area.intersects(seen) || repeated.area.width <= 0.f || repeated.area.height <= 0.f) {
        return;
    }
    // Texture coordinates in pixels of the picture, counted from the copy
    // at the layer's place; the texture repeats past its edges.
    const float u0 = area.left - repeated.area.left;
    const float v0 = area.top - repeated.area.top;
    const sf::Vertex corners[] = {
        sf::Vertex({area.left, area.top}, repeated.colour, {u0, v0}),
        sf::Vertex({area.left, area.top + area.height}, repeated.colour, {u0, v0 + area.height}),
        sf::Vertex({area.left + area.width, area.top}, repeated.colour, {u0 + area.width, v0}),
        sf::Vertex({area.left + area.width, area.top + area.height}, repeated.colour,
                   {u0 + area.width, v0 + area.height}),
    };
    states.texture = repeated.texture;
    target.draw(corners, 4, sf::TriangleStrip, states);
}

void LayerRenderComponent::drawMesh(sf::RenderTarget& target, const sf::Transform& transform,
                                    bool leaveOutCovered) const {
    if (!visible) {
        return;
    }
    sf::RenderStates states(transform);
    if (tinted) {
        states.shader = tintShader();
    }
    if (repeated.texture) {
        drawRepeated(target, states);
        return;
    }
    (leaveOutCovered ? uncovered : mesh).draw(target, states, visibleArea(target, transform));
}

void LayerRenderComponent::draw(float, float, sf::RenderTarget& target) {
    auto owner = getGameObject();
    if (!isEnabled() || !tileMapLayer || !owner || !owner->transform) {
        return;
    }
    sf::Transform transform;
    transform.translate(owner->transform->getPosition());
    transform.rotate(owner->transform->getRotation());
    transform.scale(owner->transform->getWorldScale());
    const TmxLayer& layer = *tileMapLayer->layer;
    transform.translate(parallaxShift(target, transform, {layer.parallaxX, layer.parallaxY},
                                      parallaxOrigin(*tileMapLayer->map)));
    TileAtlas::instance().drawAtScale(scaleOnTarget(target, transform));
    if (auto below = base.lock()) {
        // Drawn here, not in its own place in the order: all of it.
        below->drawMesh(target, transform, false);
    }
    drawMesh(target, transform, coveringShown());
}
