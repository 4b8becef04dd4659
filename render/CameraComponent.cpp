#include "render/CameraComponent.hpp"

#include "scene/GameObject.hpp"

CameraComponent::CameraComponent(int32_t width, int32_t height, int32_t offsetX, int32_t offsetY)
    : width(static_cast<float>(width)), height(static_cast<float>(height)),
      offsetX(static_cast<float>(offsetX)), offsetY(static_cast<float>(offsetY)),
      view(std::make_shared<sf::View>(sf::Vector2f(this->offsetX, this->offsetY),
                                      sf::Vector2f(this->width, this->height))) {}

std::shared_ptr<sf::View> CameraComponent::getView() {
    auto owner = getGameObject();
    if (!owner) {
        return view;
    }
    const auto& transform = *owner->transform;
    const sf::Vector2f scale = transform.getScale();
    // The offset is in the object's local space, which the scale stretches;
    // dividing keeps it a fixed distance in world pixels. A zero scale has
    // no local space to speak of, so the offset is dropped then.
    const sf::Vector2f local(scale.x != 0.0f ? offsetX / scale.x : 0.0f,
                             scale.y != 0.0f ? offsetY / scale.y : 0.0f);
    view->setCenter(transform.getWorldTransform().transformPoint(local));
    view->setRotation(transform.getRotation());
    view->setSize(width * scale.x, height * scale.y);
    view->setViewport(viewport);
    return view;
}
