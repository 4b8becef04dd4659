#include "game/player/PlayerView.hpp"

#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObject.hpp"

int PlayerView::playerNumber() const {
    return player->playerNumber();
}

int PlayerView::lives() const {
    return player->state().lives;
}

bool PlayerView::isFrozen() const {
    return player->state().frozen;
}

bool PlayerView::isDead() const {
    return player->state().isDead();
}

bool PlayerView::isGrounded() const {
    return player->isGrounded();
}

bool PlayerView::isMagicActive() const {
    return player->state().magicActive;
}

int PlayerView::magicCharges() const {
    return player->state().magicCharges;
}

bool PlayerView::isHolding() const {
    return player->state().holding;
}

bool PlayerView::isHoldingPlatform() const {
    return player->state().holdingPlatform;
}

int PlayerView::segmentCount() const {
    return player->beard().segmentCount();
}

float PlayerView::halfWidth() const {
    return player->state().halfWidth;
}

float PlayerView::halfHeight() const {
    return player->state().halfHeight;
}

int PlayerView::killY() const {
    return player->tuning.killY;
}

std::optional<sf::Vector2f> PlayerView::tipPosition() const {
    const auto& last = player->beard().lastSegment();
    auto tip = last ? last->getGameObject() : nullptr;
    if (!tip || !tip->transform) {
        return std::nullopt;
    }
    return tip->transform->getPosition();
}

const sf::Texture& PlayerView::hatTexture() const {
    return player->hat();
}

std::shared_ptr<const GameObject> PlayerView::gameObject() const {
    return player->getGameObject();
}

std::shared_ptr<const PlayerControllerComponent> findPlayerController(const GameObject& object) {
    return object.getComponent<PlayerControllerComponent>();
}
