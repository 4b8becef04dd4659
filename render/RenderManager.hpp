#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "render/Layer.hpp"
#include "render/OverlayTexture.hpp"

class CameraComponent;
class RenderableComponent;

// Keeps every live renderable in one list and draws it once per drawn frame
// through the main camera: by layer index, then depth (larger first), then
// world y (smaller first). The list is re-sorted only when a renderable is
// added, a layer is assigned or the layer table is reordered.
//
// Renderables and the main camera are observed weakly: the list never keeps
// a component alive, and expired entries are dropped lazily.
class RenderManager {
public:
    static RenderManager& instance();
    // False once the singleton has been destroyed at program exit; renderables
    // that are freed later (by other singletons' teardown) must not reach it.
    static bool isAlive();
    ~RenderManager();
    RenderManager(const RenderManager&) = delete;
    RenderManager& operator=(const RenderManager&) = delete;
    // Back to the just-constructed manager: no renderables, layers or main
    // camera, nothing reported. The overlay keeps its texture (a Game sizes it
    // anew) but is cleared and counts as not drawn into. Not during drawAll.
    void reset();

    // Called by the generic add-component step for every renderable.
    void addRenderable(const std::weak_ptr<RenderableComponent>& renderable);
    // Erases expired entries met on the way and this component's entry.
    // During drawAll the entry is emptied instead, and dropped after the walk.
    void removeRenderable(const RenderableComponent* renderable);

    // A new visible layer at the end of the table, or empty when the name is taken.
    std::shared_ptr<Layer> addLayer(const std::string& name);
    std::shared_ptr<Layer> findLayer(const std::string& name) const;
    // findLayer for a renderer that is put on a layer by name. A name that
    // names no layer leaves the renderer layerless, drawn beneath every
    // layer: that is printed in one line, once per name.
    std::shared_ptr<Layer> findLayerForRenderer(const std::string& name);
    // The layer's index, or -1.
    int layerIndex(const std::string& name) const;
    // Takes the layer out of the table and puts it at `position` (clamped to
    // the table); every layer keeps its position as its index. Does nothing
    // for a layer that is not in the table.
    void moveLayer(const std::shared_ptr<Layer>& layer, int position);

    void setMainCamera(const std::shared_ptr<CameraComponent>& camera);
    std::shared_ptr<CameraComponent> getMainCamera() const { return mainCamera.lock(); }

    // Applies the main camera's view to `target` (placed within `viewport`)
    // and `overlayTexture`, re-sorts if asked to, and draws every enabled
    // renderable on a visible layer (or on none) in list order.
    void drawAll(sf::RenderTarget& target, float delta, float time);

    // Sorts the list into draw order (expired entries last) and clears `needsSort`.
    void sortRenderables();

    bool needsSort = false;
    std::weak_ptr<CameraComponent> mainCamera;
    // Where in the target the camera's picture goes (fractions of the target,
    // as an sf::View's viewport): the window's letterbox. The camera's own
    // viewport is taken within it.
    sf::FloatRect viewport{0.0f, 0.0f, 1.0f, 1.0f};
    // In draw order; each layer's index is its position here.
    std::vector<std::shared_ptr<Layer>> layers;
    std::vector<std::weak_ptr<RenderableComponent>> renderables;
    // Drawn above the GUI by the main loop and cleared after each drawn frame
    // in which something was drawn into it.
    OverlayTexture overlayTexture;

private:
    RenderManager() = default;

    // Marks the walk of drawAll, also when a draw throws.
    struct DrawingScope {
        explicit DrawingScope(RenderManager& manager);
        ~DrawingScope();
        RenderManager& manager;
        bool wasDrawing;
    };
    // While drawAll walks the list, removals empty entries instead of erasing them.
    bool drawing = false;
    bool removedWhileDrawing = false;
    // Layer names already reported missing by findLayerForRenderer.
    std::set<std::string> missingLayersReported;
};
