#include "level/InstantiateTileLayers.hpp"

#include <vector>

#include "core/Report.hpp"
#include "level/MapStore.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

// Whether `upper` is drawn after `lower` by the render manager's order: on a
// later render layer (a layerless renderable goes beneath every layered one).
bool drawnAfter(const LayerRenderComponent& upper, const LayerRenderComponent& lower) {
    const auto above = upper.getLayer();
    const auto below = lower.getLayer();
    return above && (!below || above->index > below->index);
}

// Leaves out of each layer's drawing its tiles that lie under an opaque tile
// of a layer drawn after it on the same grid (same size, offset and parallax).
void leaveOutCoveredTiles(const std::vector<std::shared_ptr<LayerRenderComponent>>& layers) {
    for (const auto& lower : layers) {
        const TmxLayer& own = *lower->tileMapLayer->layer;
        if (!own.imageSource.empty()) {
            continue;
        }
        std::vector<bool> covered(own.data.size(), false);
        std::vector<std::weak_ptr<LayerRenderComponent>> covering;
        for (const auto& upper : layers) {
            const TmxLayer& other = *upper->tileMapLayer->layer;
            const std::vector<bool>& solid = upper->solidCells();
            // Layers of different parallax slide over one another as the camera moves.
            if (upper == lower || solid.size() != covered.size() || other.width != own.width ||
                other.offsetX != own.offsetX || other.offsetY != own.offsetY ||
                other.parallaxX != own.parallaxX || other.parallaxY != own.parallaxY ||
                !drawnAfter(*upper, *lower)) {
                continue;
            }
            bool coversAny = false;
            for (size_t cell = 0; cell < solid.size(); ++cell) {
                if (solid[cell] && own.data[cell] != 0) {
                    covered[cell] = true;
                    coversAny = true;
                }
            }
            if (coversAny) {
                covering.push_back(upper);
            }
        }
        if (!covering.empty()) {
            lower->leaveOutCovered(covered, std::move(covering));
        }
    }
}

} // namespace

std::shared_ptr<GameObject> instantiateTileLayers(const std::string& mapName, bool createLayers,
                                                  bool smooth) {
    auto map = MapStore::instance().findMap(mapName);
    if (!map) {
        reportProblem("Map %s is not loaded; its tile layers were not built", mapName.c_str());
        return nullptr;
    }
    auto& renderManager = RenderManager::instance();
    auto holder = GameObjectManager::instance().createGameObject(mapName);
    std::vector<std::shared_ptr<LayerRenderComponent>> built;
    for (const auto& layer : map->layers) {
        auto renderLayer = renderManager.findLayer(layer->name);
        if (!renderLayer) {
            // Made when asked to; otherwise the missing layer is reported.
            renderLayer = createLayers ? renderManager.addLayer(layer->name)
                                       : renderManager.findLayerForRenderer(layer->name);
        }
        auto tileMapLayer = std::make_shared<TileMapLayer>(layer.get(), map.get(), mapName);
        built.push_back(addComponent<LayerRenderComponent>(holder, tileMapLayer, renderLayer, smooth));
    }
    leaveOutCoveredTiles(built);
    return holder;
}
