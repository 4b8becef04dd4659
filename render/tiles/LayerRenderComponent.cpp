#include "render/tiles/LayerRenderComponent.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/View.hpp>

#include "core/Report.hpp"
#include "render/AssetManager.hpp"
#include "render/tiles/TileAtlas.hpp"
#include "scene/GameObject.hpp"

namespace {

// Blocks of about this many pixels square: small enough that a view of a
// large map skips most of it, large enough that a screenful is a few blocks.
constexpr int blockPixels = 512;

sf::Color layerColour(const TmxLayer& layer) {
    const float alpha = static_cast<float>(layer.tint.a) * std::clamp(layer.opacity, 0.f, 1.f);
    return sf::Color(layer.tint.r, layer.tint.g, layer.tint.b, static_cast<sf::Uint8>(std::lround(alpha)));
}

// Tints the way the map editor does: the tint multiplies the tile's colour
// as if it were laid over white, so half-transparent pixels take on more of
// the tint; the vertex colour carries the tint and, in alpha, the tint's
// alpha times the layer's opacity.
const char* const tintFragmentShader = R"(
uniform sampler2D texture;
void main() {
    vec4 texel = texture2D(texture, gl_TexCoord[0].xy);
    gl_FragColor = vec4(gl_Color.rgb * (texel.rgb * texel.a + (1.0 - texel.a)), texel.a * gl_Color.a);
}
)";

// Shared by every tinted layer; empty when the graphics driver has no shaders
// (tinted layers then multiply the tint in plainly).
const sf::Shader* tintShader() {
    static std::unique_ptr<sf::Shader> shader = [] {
        auto made = std::make_unique<sf::Shader>();
        if (!sf::Shader::isAvailable() || !made->loadFromMemory(tintFragmentShader, sf::Shader::Fragment)) {
            return std::unique_ptr<sf::Shader>();
        }
        made->setUniform("texture", sf::Shader::CurrentTexture);
        return made;
    }();
    return shader.get();
}

bool isTinted(const TmxTint& tint) {
    return tint.r != 255 || tint.g != 255 || tint.b != 255 || tint.a != 255;
}

// The view's area in the coordinates that `transform` maps to the world.
sf::FloatRect visibleArea(const sf::RenderTarget& target, const sf::Transform& transform) {
    const sf::Transform toLocal = transform.getInverse() * target.getView().getInverseTransform();
    float left = 0.f, top = 0.f, right = 0.f, bottom = 0.f;
    const sf::Vector2f corners[] = {{-1.f, -1.f}, {1.f, -1.f}, {-1.f, 1.f}, {1.f, 1.f}};
    for (int i = 0; i < 4; ++i) {
        const sf::Vector2f point = toLocal.transformPoint(corners[i]);
        left = i == 0 ? point.x : std::min(left, point.x);
        top = i == 0 ? point.y : std::min(top, point.y);
        right = i == 0 ? point.x : std::max(right, point.x);
        bottom = i == 0 ? point.y : std::max(bottom, point.y);
    }
    return {left, top, right - left, bottom - top};
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

void LayerRenderComponent::addTiles(TileLayerMesh& target, const std::vector<bool>* leaveOut) {
    // Where each tile id lies in the bordered tileset copies, found once per id.
    std::map<int, TileAtlas::Placement> placements;
    const TmxLayer& layer = *tileMapLayer->layer;
    const int tileWidth = tileMapLayer->map->tileWidth;
    const int tileHeight = tileMapLayer->map->tileHeight;
    const sf::Vector2f origin(layer.offsetX - size.x / 2.f, layer.offsetY - size.y / 2.f);
    const sf::Color colour = layerColour(layer);
    const int blockColumns = std::max(1, blockPixels / std::max(1, tileWidth));
    const int blockRows = std::max(1, blockPixels / std::max(1, tileHeight));
    const size_t cells = layer.data.size();
    // Only a shown, fully opaque layer hides what is beneath it.
    const bool hides = visible && colour.a == 255;
    solid.assign(hides ? cells : 0, false);
    bool overfull = false;

    // Block by block, and inside each column by column, top to bottom: a
    // tall tile reaches up over the cell above, drawn earlier, as the map
    // editor draws it.
    for (int blockColumn = 0; blockColumn < layer.width; blockColumn += blockColumns) {
        for (int blockRow = 0; blockRow < layer.height; blockRow += blockRows) {
            target.beginBlock();
            // Only tiles larger than a cell can overlap, and only then does their order show.
            bool anyOrder = true;
            for (int column = blockColumn; column < std::min(layer.width, blockColumn + blockColumns);
                 ++column) {
                for (int row = blockRow; row < std::min(layer.height, blockRow + blockRows); ++row) {
                    const size_t cell = static_cast<size_t>(column) + static_cast<size_t>(row) * layer.width;
                    const int globalId = cell < cells ? layer.data[cell] : 0;
                    if (globalId == 0 || (leaveOut && cell < leaveOut->size() && (*leaveOut)[cell])) {
                        continue;
                    }
                    auto sprite = cachedSprite(globalId);
                    if (!sprite || !sprite->getTexture()) {
                        continue;
                    }
                    if (target.tileCount() == maxTiles) {
                        overfull = true;
                        continue;
                    }
                    const uint8_t flips = cell < layer.flips.size() ? layer.flips[cell] : 0;
                    const sf::IntRect rectangle = sprite->getTextureRect();
                    sf::Vector2f tile(static_cast<float>(rectangle.width),
                                      static_cast<float>(rectangle.height));
                    if (flips & tmxFlipDiagonal) {
                        std::swap(tile.x, tile.y);
                    }
                    if (tile.x > static_cast<float>(tileWidth) || tile.y > static_cast<float>(tileHeight)) {
                        anyOrder = false;
                    }
                    // Tiles stand on the bottom-left corner of their cell.
                    // In floats: content may give any tile size.
                    const sf::Vector2f position(
                        origin.x + static_cast<float>(column) * static_cast<float>(tileWidth),
                        origin.y + static_cast<float>(row + 1) * static_cast<float>(tileHeight) - tile.y);
                    auto placed = placements.find(globalId);
                    if (placed == placements.end()) {
                        placed =
                            placements.emplace(globalId, TileAtlas::instance().place(*sprite, smooth)).first;
                    }
                    const TileAtlas::Placement& placement = placed->second;
                    target.addTile(placement.texture, placement.rectangle, position, tile, flips, colour,
                                   placement.opaque);
                    if (hides && placement.opaque && tile.x == static_cast<float>(tileWidth) &&
                        tile.y == static_cast<float>(tileHeight)) {
                        solid[cell] = true;
                    }
                }
            }
            target.endBlock(anyOrder);
        }
    }
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
    const TileAtlas::Placement placement = TileAtlas::instance().place(*found->second, smooth);
    mesh.beginBlock();
    mesh.addTile(placement.texture, placement.rectangle,
                 sf::Vector2f(layer.offsetX - size.x / 2.f, layer.offsetY - size.y / 2.f),
                 sf::Vector2f(static_cast<float>(rectangle.width), static_cast<float>(rectangle.height)), 0,
                 layerColour(layer), placement.opaque);
    mesh.endBlock(true);
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
    if (auto below = base.lock()) {
        // Drawn here, not in its own place in the order: all of it.
        below->drawMesh(target, transform, false);
    }
    drawMesh(target, transform, coveringShown());
}
