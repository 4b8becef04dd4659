// What the player does with its beard: growing it at the chin, having it cut,
// and losing it whole.
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"

void PlayerControllerComponent::growBeard() {
    playerBeard.grow(getGameObject(), this, tuning.maxSegments, current.facingLeft);
}

void PlayerControllerComponent::cutBeard(const std::shared_ptr<BeardSegmentComponent>& segment) {
    if (playerBeard.cut(segment, getGameObject())) {
        current.magicActive = false;
        current.holding = false;
        current.holdingPlatform = false;
    }
}

void PlayerControllerComponent::removeBeard() {
    if (auto chin = playerBeard.firstSegment()) {
        cutBeard(chin->towardTip.lock());
    }
    playerBeard.remove(getGameObject());
    current.holding = false;
    current.holdingPlatform = false;
    current.magicActive = false;
}
