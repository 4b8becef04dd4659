#include "game/player/BeardFadeComponent.hpp"

#include <cstdint>
#include <utility>

#include "core/StateIo.hpp"
#include "render/PolygonRendererComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
sf::Color transparentOf(const sf::VertexArray& vertices) {
    sf::Color color = vertices.getVertexCount() > 0 ? vertices[0].color : sf::Color::White;
    color.a = 0;
    return color;
}

sf::Uint8 mix(sf::Uint8 from, sf::Uint8 to, float x) {
    return static_cast<sf::Uint8>(static_cast<float>(from) * (1.0f - x) + static_cast<float>(to) * x);
}
} // namespace

BeardFadeComponent::BeardFadeComponent(const sf::VertexArray& vertices, std::shared_ptr<sf::Texture> texture)
    : texture(std::move(texture)), vertices(vertices), targetColor(transparentOf(vertices)) {}

void BeardFadeComponent::init() {
    Component::init();
    renderer = addComponent<PolygonRendererComponent>(getGameObject(), vertices, 0);
    if (renderer) {
        renderer->setTexture(texture);
        renderer->setLayer(RenderManager::instance().findLayer("Beards"));
    }
}

void BeardFadeComponent::update(float delta, float) {
    elapsed += delta;
    const float x = elapsed / duration;
    if (x > 1.0f) {
        GameObjectManager::instance().destroyGameObject(getGameObject());
        return;
    }
    const sf::Color white = sf::Color::White;
    const sf::Color color(mix(white.r, targetColor.r, x), mix(white.g, targetColor.g, x),
                          mix(white.b, targetColor.b, x), mix(white.a, targetColor.a, x));
    for (std::size_t i = 0; i < vertices.getVertexCount(); ++i) {
        vertices[i].color = color;
    }
    if (renderer) {
        renderer->vertices = vertices;
    }
}

void BeardFadeComponent::snapshotState(StateIo& io) {
    io.value(elapsed);
}
