#include "app/DebugView.hpp"

#include <cstdio>

#include "app/Game.hpp"
#include "app/SceneCounts.hpp"
#include "app/TextLine.hpp"
#include "physics/ColliderComponent.hpp"
#include "scene/GameObjectManager.hpp"

const sf::Color DebugView::outlineColour(255, 0, 255);

namespace {
// How far above the picture's bottom edge the figures line starts (pixels).
constexpr float figuresRise = 108.0f;
} // namespace

void DebugView::drawOutlines(sf::RenderTarget& target) const {
    if (!shown) {
        return;
    }
    GameObjectManager::instance().forEachObject([&](const std::shared_ptr<GameObject>& object) {
        for (const auto& collider : object->getComponents<ColliderComponent>()) {
            collider->drawOutline(target, outlineColour);
        }
    });
}

void DebugView::drawFigures(sf::RenderTarget& target, const sf::View& pictureView, const FrameCosts& costs,
                            float frameSeconds) const {
    if (!shown) {
        return;
    }
    const SceneCounts counts = SceneCounts::take();
    char line[256];
    std::snprintf(line, sizeof line,
                  "frame %.1f ms   fixed steps %.2f ms (%d)   update %.2f ms   drawing %.2f ms   "
                  "bodies %zu   joints %zu   particles %zu",
                  frameSeconds * 1000.0f, costs.fixedSteps * 1000.0f, costs.stepCount, costs.update * 1000.0f,
                  costs.draw * 1000.0f, counts.bodies, counts.joints, counts.particles);
    const sf::View previous = target.getView();
    target.setView(pictureView);
    // At the foot of the picture, clear of the players' hats along its top
    // and above the notices and the online line under it.
    drawTextLine(target, line, 24, {8.0f, pictureView.getSize().y - figuresRise});
    target.setView(previous);
}
