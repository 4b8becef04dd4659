#include "render/RenderManager.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "core/Report.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderableComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
float worldY(const RenderableComponent& renderable) {
    auto owner = renderable.getGameObject();
    return owner && owner->transform ? owner->transform->getPosition().y : 0.0f;
}

// What the draw order compares, read once per renderable instead of once per
// comparison (locking and walking the transform hierarchy is the costly part).
struct SortKey {
    std::weak_ptr<RenderableComponent> renderable;
    bool alive = false;
    bool layered = false;
    int32_t layerIndex = 0;
    int32_t depth = 0;
    float y = 0.0f;
};

SortKey keyOf(const std::weak_ptr<RenderableComponent>& entry) {
    SortKey key;
    key.renderable = entry;
    if (auto renderable = entry.lock()) {
        key.alive = true;
        if (auto layer = renderable->getLayer()) {
            key.layered = true;
            key.layerIndex = layer->index;
        }
        key.depth = renderable->depth;
        key.y = worldY(*renderable);
        // A NaN would break the ordering the sort relies on (and with it the sort).
        if (std::isnan(key.y)) {
            key.y = 0.0f;
        }
    }
    return key;
}

// Whether a is drawn before b: by layer index (layerless beneath every
// layer), then larger depth first, then smaller world y first; expired
// entries gather at the end.
bool keyBefore(const SortKey& a, const SortKey& b) {
    if (!a.alive) {
        return false;
    }
    if (!b.alive) {
        return true;
    }
    if (a.layered != b.layered) {
        return b.layered;
    }
    if (a.layered && a.layerIndex != b.layerIndex) {
        return a.layerIndex < b.layerIndex;
    }
    if (a.depth != b.depth) {
        return a.depth > b.depth;
    }
    return a.y < b.y;
}

// Plain static storage: still readable after every singleton is gone.
bool managerDestroyed = false;
} // namespace

RenderManager& RenderManager::instance() {
    static RenderManager manager;
    return manager;
}

bool RenderManager::isAlive() {
    return !managerDestroyed;
}

RenderManager::~RenderManager() {
    managerDestroyed = true;
}

void RenderManager::reset() {
    assert(!drawing && "RenderManager::reset called while drawing");
    layers.clear();
    renderables.clear();
    mainCamera.reset();
    needsSort = false;
    removedWhileDrawing = false;
    missingLayersReported.clear();
    if (overlayTexture.getSize().x > 0) {
        overlayTexture.clear(sf::Color::Transparent);
    }
    overlayTexture.forgetDrawing();
}

void RenderManager::addRenderable(const std::weak_ptr<RenderableComponent>& renderable) {
    renderables.push_back(renderable);
    needsSort = true;
}

void RenderManager::removeRenderable(const RenderableComponent* renderable) {
    // Called from the destructor, when the component's own entry has already
    // expired: it is recognised by its control block, which needs no locking.
    const std::weak_ptr<const RenderableComponent> self = renderable->weak_from_this();
    for (size_t i = 0; i < renderables.size();) {
        auto& entry = renderables[i];
        const bool isSelf = !self.owner_before(entry) && !entry.owner_before(self);
        if (drawing) {
            // drawAll walks the list by position, so nothing moves now: the
            // entry is emptied in place and dropped when the walk is over.
            if (isSelf) {
                entry.reset();
                removedWhileDrawing = true;
                return;
            }
            ++i;
            continue;
        }
        if (isSelf || entry.expired()) {
            renderables.erase(renderables.begin() + static_cast<std::ptrdiff_t>(i));
            if (isSelf) {
                return;
            }
            continue;
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

std::shared_ptr<Layer> RenderManager::findLayerForRenderer(const std::string& name) {
    auto layer = findLayer(name);
    if (!layer && missingLayersReported.insert(name).second) {
        reportProblem("Draw layer \"%s\" does not exist; renderers put on it are drawn beneath every layer",
                      name.c_str());
    }
    return layer;
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

void RenderManager::setMainCamera(const std::shared_ptr<CameraComponent>& camera) {
    mainCamera = camera;
}

void RenderManager::sortRenderables() {
    std::vector<SortKey> keys;
    keys.reserve(renderables.size());
    for (const auto& entry : renderables) {
        keys.push_back(keyOf(entry));
    }
    std::sort(keys.begin(), keys.end(), keyBefore);
    for (size_t i = 0; i < keys.size(); ++i) {
        renderables[i] = std::move(keys[i].renderable);
    }
    needsSort = false;
}

void RenderManager::drawAll(sf::RenderTarget& target, float delta, float time) {
    if (auto camera = mainCamera.lock()) {
        const sf::View& view = *camera->getView();
        sf::View placed = view;
        const sf::FloatRect& own = view.getViewport();
        placed.setViewport({viewport.left + own.left * viewport.width,
                            viewport.top + own.top * viewport.height, own.width * viewport.width,
                            own.height * viewport.height});
        target.setView(placed);
        overlayTexture.setView(view);
    }
    if (needsSort) {
        sortRenderables();
    }
    {
        // A draw may add renderables (appended, reached by the index walk)
        // or destroy them (emptied in place, so no entry is skipped).
        DrawingScope scope(*this);
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
    if (removedWhileDrawing) {
        removedWhileDrawing = false;
        renderables.erase(std::remove_if(renderables.begin(), renderables.end(),
                                         [](const auto& entry) { return entry.expired(); }),
                          renderables.end());
    }
}

RenderManager::DrawingScope::DrawingScope(RenderManager& manager)
    : manager(manager), wasDrawing(manager.drawing) {
    manager.drawing = true;
}

RenderManager::DrawingScope::~DrawingScope() {
    manager.drawing = wasDrawing;
}
