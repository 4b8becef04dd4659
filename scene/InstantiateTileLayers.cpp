#include "scene/InstantiateTileLayers.hpp"

#include <cstdio>

#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/LayerRenderComponent.hpp"
#include "scene/MapStore.hpp"

std::shared_ptr<GameObject> instantiateTileLayers(const std::string& mapName, bool createLayers,
                                                  bool smooth) {
    auto map = MapStore::instance().findMap(mapName);
    if (!map) {
        std::printf("Map %s is not loaded; its tile layers were not built\n", mapName.c_str());
        return nullptr;
    }
    auto& renderManager = RenderManager::instance();
    auto holder = GameObjectManager::instance().createGameObject(mapName);
    for (const auto& layer : map->layers) {
        auto renderLayer = renderManager.findLayer(layer->name);
        if (!renderLayer) {
            // Made when asked to; otherwise the missing layer is reported.
            renderLayer = createLayers ? renderManager.addLayer(layer->name)
                                       : renderManager.findLayerForRenderer(layer->name);
        }
        auto tileMapLayer = std::make_shared<TileMapLayer>(layer.get(), map.get(), mapName);
        addComponent<LayerRenderComponent>(holder, tileMapLayer, renderLayer, smooth);
    }
    return holder;
}
