#include "app/DebugView.hpp"

#include <cstdio>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include "app/Game.hpp"
#include "physics/ColliderComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/ResourceCache.hpp"

const sf::Color DebugView::outlineColour(255, 0, 255);

namespace {
template <class Visit> void forEachObject(const Visit& visit) {
    const auto& objects = GameObjectManager::instance();
    for (const auto* list : {&objects.sceneObjects, &objects.persistentObjects}) {
        for (const auto& object : *list) {
            if (object) {
                visit(*object);
            }
        }
    }
}
} // namespace

void DebugView::drawOutlines(sf::RenderTarget& target) const {
    if (!shown) {
        return;
    }
    forEachObject([&](const GameObject& object) {
        for (const auto& collider : object.getComponents<ColliderComponent>()) {
            collider->drawOutline(target, outlineColour);
        }
    });
}

void DebugView::drawFigures(sf::RenderTarget& target, const sf::View& pictureView, const FrameCosts& costs,
                            float frameSeconds) const {
    const sf::Font* font = widgets::ResourceCache::font();
    if (!shown || !font) {
        return;
    }
    size_t particles = 0;
    forEachObject([&](const GameObject& object) {
        for (const auto& emitter : object.getComponents<ParticleSystemComponent>()) {
            particles += emitter->particles.size();
        }
    });
    int bodies = 0;
    int joints = 0;
    if (const auto& world = PhysicsManager::instance().world) {
        bodies = world->GetBodyCount();
        joints = world->GetJointCount();
    }
    char line[256];
    std::snprintf(line, sizeof line,
                  "frame %.1f ms   fixed steps %.2f ms (%d)   update %.2f ms   drawing %.2f ms   "
                  "bodies %d   joints %d   particles %zu",
                  frameSeconds * 1000.0f, costs.fixedSteps * 1000.0f, costs.stepCount, costs.update * 1000.0f,
                  costs.draw * 1000.0f, bodies, joints, particles);
    sf::Text text(line, *font, 24);
    text.setPosition(16.0f, 10.0f);
    text.setFillColor(sf::Color::White);
    sf::RectangleShape backing({text.getLocalBounds().width + 24.0f, 40.0f});
    backing.setPosition(4.0f, 4.0f);
    backing.setFillColor(sf::Color(0, 0, 0, 170));
    const sf::View previous = target.getView();
    target.setView(pictureView);
    target.draw(backing);
    target.draw(text);
    target.setView(previous);
}
