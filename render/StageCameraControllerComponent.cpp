#include "render/StageCameraControllerComponent.hpp"

#include <algorithm>
#include <cmath>

#include "render/CameraComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr float maxZoom = 1.3f;
constexpr float minZoom = 0.7f;
// 1.3 - 1 as single precision computes it, so the centre reaches (0, 0)
// exactly at the largest zoom.
constexpr float zoomRange = 0.29999995f;

// The view centre's offset from the origin along one axis for players whose
// middle is at `middle`: within a quarter of the framing `extent`, `margin`
// less on the negative side. In the framing's own coordinates, to the last
// bit as the view has always been worked out.
float framedOffset(float middle, float extent, float margin) {
    float centre = middle + extent * 0.5f;
    if (centre + extent * 0.25f > extent) {
        centre = extent - extent * 0.25f;
    } else if (centre - extent * 0.25f < margin) {
        centre = extent * 0.25f + margin;
    }
    return centre - extent * 0.5f;
}
} // namespace

StageCameraControllerComponent::StageCameraControllerComponent(std::string player1Name,
                                                               std::string player2Name, float width,
                                                               float height)
    : player1Name(std::move(player1Name)), player2Name(std::move(player2Name)), width(width), height(height) {
}

void StageCameraControllerComponent::update(float delta, float) {
    auto self = getGameObject();
    if (!self || !(width > 0.0f) || !(height > 0.0f)) {
        return;
    }
    auto& objects = GameObjectManager::instance();
    auto player1 = objects.findGameObject(player1Name);
    auto player2 = objects.findGameObject(player2Name);
    if (!player1 && !player2) {
        return;
    }
    // One player found stands in for both.
    if (!player1) {
        player1 = player2;
    } else if (!player2) {
        player2 = player1;
    }
    const sf::Vector2f p1 = player1->transform->getLocalPosition();
    const sf::Vector2f p2 = player2->transform->getLocalPosition();
    const float dx = std::fabs(p1.x - p2.x);
    const float dy = std::fabs(p1.y - p2.y);

    const float z = dx / width + dy / height;
    const float zoom = z > maxZoom ? maxZoom : std::max(minZoom, z);
    auto camera = self->getComponent<CameraComponent>();
    float tx = 0.0f;
    float ty = 0.0f;
    if (boundX > 0.0f && boundY > 0.0f && camera) {
        // The view, at the zoom it is heading for, stays inside the arena.
        const float reachX = std::max(0.0f, boundX - camera->width * zoom * 0.5f);
        const float reachY = std::max(0.0f, boundY - camera->height * zoom * 0.5f);
        tx = std::clamp((p1.x + p2.x) * 0.5f, -reachX, reachX);
        ty = std::clamp((p1.y + p2.y) * 0.5f, -reachY, reachY);
    } else {
        tx = framedOffset((p1.x + p2.x) * 0.5f, width, 0.0f);
        ty = framedOffset((p1.y + p2.y) * 0.5f, height, 10.0f);
        if (zoom > 1.0f) {
            // Zoomed out, the centre moves towards the arena's middle, reaching it at the largest zoom.
            const float f = 1.0f - (zoom - 1.0f) / zoomRange;
            tx *= f;
            ty *= f;
        }
    }

    // A long frame (loading a map, a stalled machine) lands on the target
    // rather than overshooting it: past k = 2 the view would swing ever
    // farther from the players.
    const float k = std::min(delta * followSpeed, 1.0f);
    auto& transform = *self->transform;
    const sf::Vector2f scale = transform.getScale();
    const sf::Vector2f position = transform.getLocalPosition();
    transform.setScale(scale.x * (1.0f - k) + zoom * k, scale.y * (1.0f - k) + zoom * k);
    transform.setPosition(position.x * (1.0f - k) + tx * k, position.y * (1.0f - k) + ty * k);
}
