#include "render/RenderableComponent.hpp"

#include "render/RenderManager.hpp"

RenderableComponent::RenderableComponent(int32_t depth, const std::shared_ptr<Layer>& layer)
    : layer(layer), depth(depth) {}

RenderableComponent::~RenderableComponent() {
    // Game objects still alive at program exit may be freed after the manager.
    if (RenderManager::isAlive()) {
        RenderManager::instance().removeRenderable(this);
    }
}

void RenderableComponent::setLayer(const std::shared_ptr<Layer>& newLayer) {
    layer = newLayer;
    if (RenderManager::isAlive()) {
        RenderManager::instance().needsSort = true;
    }
}

void RenderableComponent::onAttached(const std::shared_ptr<Component>&) {
    RenderManager::instance().addRenderable(shared_from_this());
}
