#pragma once

#include <cstdint>
#include <memory>

#include <SFML/Graphics/RenderTarget.hpp>

#include "render/Layer.hpp"
#include "scene/Component.hpp"

// Base of everything visible in the world. Renderables are registered with
// the RenderManager when they are added to a game object and drawn by it in
// layer, depth and height order; they leave its list when destroyed.
class RenderableComponent : public Component, public std::enable_shared_from_this<RenderableComponent> {
public:
    explicit RenderableComponent(int32_t depth = 0, const std::shared_ptr<Layer>& layer = nullptr);
    ~RenderableComponent() override;
    // Lists the renderable with the RenderManager.
    void onAttached(const std::shared_ptr<Component>& self) override;

    // `delta` and `time` are the draw step's values from the main loop (seconds).
    virtual void draw(float delta, float time, sf::RenderTarget& target) = 0;

    // Assigns the layer (observed, not owned) and asks for a re-sort.
    void setLayer(const std::shared_ptr<Layer>& newLayer);
    // The layer, or empty when unset or dropped.
    std::shared_ptr<Layer> getLayer() const { return layer.lock(); }

    std::weak_ptr<Layer> layer;
    // Order within a layer: a larger depth is drawn earlier (further back).
    int32_t depth = 0;
};
