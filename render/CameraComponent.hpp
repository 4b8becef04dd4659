#pragma once

#include <cstdint>
#include <memory>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/View.hpp>

#include "scene/Component.hpp"

// Turns its game object's transform into a view: centred on the object (plus
// an offset in the object's local space), turned with it, and sized by the
// camera's size times the object's scale, so scaling the object up zooms out.
class CameraComponent : public Component {
public:
    // Sizes and offsets in pixels.
    CameraComponent(int32_t width, int32_t height, int32_t offsetX, int32_t offsetY);

    // Cameras stay active on inactive objects: `init` leaves `gameObjectActive` alone.
    void init() override {}
    // The shared view, brought up to date with the object's transform.
    std::shared_ptr<sf::View> getView();

    float width;
    float height;
    float offsetX;
    float offsetY;
    sf::FloatRect viewport{0.0f, 0.0f, 1.0f, 1.0f};
    std::shared_ptr<sf::View> view;
};
