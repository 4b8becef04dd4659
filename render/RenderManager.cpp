#include "render/RenderManager.hpp"

#include <algorithm>

#include "render/CameraComponent.hpp"
#include "render/RenderableComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
float worldY(const RenderableComponent& renderable) {
    auto owner = renderable.getGameObject();
    return owner && owner->transform ? owner->transform->getPosition().y : 0.0f;
}
// Plain static storage: still readable after every singleton is gone.
bool managerDestroyed = false;
} // namespace

RenderManager& RenderManager::instance() {
    static RenderManager manager;
    return manager;
}

bool RenderManager::isAlive() { return !managerDestroyed; }

RenderManager::~RenderManager() { managerDestroyed = true; }

void RenderManager::addRenderable(const std::weak_ptr<RenderableComponent>& renderable) {
    renderables.push_back(renderable);
    needsSort = true;
}

void RenderManager::removeRenderable(const RenderableComponent* renderable) {
    // A renderable calls this from its destructor, when its own entry has
    // already expired and can no longer be told apart from other expired
    // entries; so every expired entry goes, and a live entry for this
    // component (when called outside destruction) ends the walk.
    for (size_t i = 0; i < renderables.size();) {
        if (renderables[i].expired()) {
            renderables.erase(renderables.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (renderables[i].lock().get() == renderable) {
            renderables.erase(renderables.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
        ++i;
    }
}

std::shared_ptr<Layer> RenderManager::addLayer(const std::string& name) {
    if (findLayer(name)) {
        return nullptr;
    }
    auto layer = std::make_shared<Layer>();
    layer->index = static_cast<int32_t>(layers.size());
    layer->name = name;
    layer->visible = true;
    layers.push_back(layer);
    return layer;
}

std::shared_ptr<Layer> RenderManager::findLayer(const std::string& name) const {
    for (const auto& layer : layers) {
        if (layer->name == name) {
            return layer;
        }
    }
    return nullptr;
}

int RenderManager::layerIndex(const std::string& name) const {
    auto layer = findLayer(name);
    return layer ? layer->index : -1;
}

void RenderManager::moveLayer(const std::shared_ptr<Layer>& layer, int position) {
    auto found = std::find(layers.begin(), layers.end(), layer);
    if (found == layers.end()) {
        return;
    }
    layers.erase(found);
    position = std::clamp(position, 0, static_cast<int>(layers.size()));
    layers.insert(layers.begin() + position, layer);
    for (size_t i = 0; i < layers.size(); ++i) {
        layers[i]->index = static_cast<int32_t>(i);
    }
    needsSort = true;
}

void RenderManager::setMainCamera(const std::shared_ptr<CameraComponent>& camera) { mainCamera = camera; }

bool RenderManager::drawnBefore(const std::weak_ptr<RenderableComponent>& a,
                                const std::weak_ptr<RenderableComponent>& b) {
    auto first = a.lock();
    if (!first) {
        return false;
    }
    auto second = b.lock();
    if (!second) {
        return true;
    }
    auto firstLayer = first->getLayer();
    auto secondLayer = second->getLayer();
    if (firstLayer && secondLayer) {
        if (firstLayer->index != secondLayer->index) {
            return firstLayer->index < secondLayer->index;
        }
    } else if (secondLayer) {
        // Layerless renderables lie beneath every layered one.
        return true;
    } else if (firstLayer) {
        return false;
    }
    if (first->depth != second->depth) {
        return first->depth > second->depth;
    }
    // Lower on the screen is drawn over what stands above it.
    return worldY(*first) < worldY(*second);
}

void RenderManager::drawAll(sf::RenderTarget& target, float delta, float time) {
    if (auto camera = mainCamera.lock()) {
        const sf::View& view = *camera->getView();
        target.setView(view);
        overlayTexture.setView(view);
    }
    if (needsSort) {
        std::sort(renderables.begin(), renderables.end(), drawnBefore);
        needsSort = false;
    }
    // Index walk: a draw may add renderables (appended at the end).
    for (size_t i = 0; i < renderables.size(); ++i) {
        auto renderable = renderables[i].lock();
        if (!renderable) {
            continue;
        }
        auto layer = renderable->getLayer();
        const bool visible = !layer || layer->visible;
        if (visible && renderable->isEnabled()) {
            renderable->draw(delta, time, target);
        }
    }
}
