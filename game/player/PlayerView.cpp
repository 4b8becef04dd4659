#include "game/player/PlayerView.hpp"

#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObject.hpp"

int PlayerView::playerNumber() const {
    return player->playerNumber;
}

int PlayerView::lives() const {
    return player->lives;
}

bool PlayerView::isFrozen() const {
    return player->frozen;
}

bool PlayerView::isDead() const {
    return player->deathTimer >= 0.0f;
}

bool PlayerView::isGrounded() const {
    return player->isGrounded();
}

bool PlayerView::isMagicActive() const {
    return player->magicActive;
}

int PlayerView::magicCharges() const {
    return player->magicCharges;
}

bool PlayerView::isHolding() const {
    return player->holding;
}

bool PlayerView::isHoldingPlatform() const {
    return player->holdingPlatform;
}

int PlayerView::segmentCount() const {
    return player->segmentCount;
}

float PlayerView::halfWidth() const {
    return player->halfWidth;
}

float PlayerView::halfHeight() const {
    return player->halfHeight;
}

int PlayerView::killY() const {
    return player->tuning.killY;
}

std::optional<sf::Vector2f> PlayerView::tipPosition() const {
    auto tip = player->lastSegment ? player->lastSegment->getGameObject() : nullptr;
    if (!tip || !tip->transform) {
        return std::nullopt;
    }
    return tip->transform->getPosition();
}

const sf::Texture& PlayerView::hatTexture() const {
    return player->hatTexture.getTexture();
}

std::shared_ptr<const GameObject> PlayerView::gameObject() const {
    return player->getGameObject();
}

std::shared_ptr<const PlayerControllerComponent> findPlayerController(const GameObject& object) {
    return object.getComponent<PlayerControllerComponent>();
}
