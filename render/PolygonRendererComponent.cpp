#include "render/PolygonRendererComponent.hpp"

#include "scene/GameObject.hpp"

PolygonRendererComponent::PolygonRendererComponent(const sf::VertexArray& vertices, int32_t depth)
    : RenderableComponent(depth), vertices(vertices) {}

void PolygonRendererComponent::draw(float, float, sf::RenderTarget& target) {
    if (!isEnabled()) {
        return;
    }
    auto owner = getGameObject();
    if (!owner) {
        return;
    }
    sf::RenderStates states(owner->transform->getWorldTransform());
    states.texture = texture.get();
    target.draw(vertices, states);
}
