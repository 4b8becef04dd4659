#include "render/StageCameraControllerComponent.hpp"

#include <algorithm>
#include <cmath>

#include "scene/GameObjectManager.hpp"

namespace {
constexpr float maxZoom = 1.3f;
constexpr float minZoom = 0.7f;
// 1.3 - 1 as single precision computes it, so the centre reaches (0, 0)
// exactly at the largest zoom.
constexpr float zoomRange = 0.29999995f;
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

    float cx = (p1.x + p2.x) * 0.5f + width * 0.5f;
    if (cx + width * 0.25f > width) {
        cx = width - width * 0.25f;
    } else if (cx - width * 0.25f < 0.0f) {
        cx = width * 0.25f;
    }
    float tx = cx - width * 0.5f;

    float cy = (p1.y + p2.y) * 0.5f + height * 0.5f;
    if (cy + height * 0.25f > height) {
        cy = height - height * 0.25f;
    } else if (cy - height * 0.25f < 10.0f) {
        cy = height * 0.25f + 10.0f;
    }
    float ty = cy - height * 0.5f;

    const float z = dx / width + dy / height;
    const float zoom = z > maxZoom ? maxZoom : std::max(minZoom, z);
    if (zoom > 1.0f) {
        // Zoomed out, the centre moves towards the arena's middle, reaching it at the largest zoom.
        const float f = 1.0f - (zoom - 1.0f) / zoomRange;
        tx *= f;
        ty *= f;
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
