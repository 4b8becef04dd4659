// A player whose physics blew up (a position or velocity of the player's body
// or of a beard segment that is not a finite number) is brought back to
// numbers and counts as fallen out of the arena, so no play can take the
// process down through Box2D's assertions.
#include <cmath>

#include <box2d/b2_body.h>

#include "core/Report.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
bool finite(sf::Vector2f point) {
    return std::isfinite(point.x) && std::isfinite(point.y);
}

// Takes the object unheld: the check runs every frame over every segment.
bool finiteBodyOf(GameObject* object) {
    if (!object) {
        return true;
    }
    if (!finite(object->transform->getPosition())) {
        return false;
    }
    b2Body* body = object->rigidBody ? object->rigidBody->liveBody() : nullptr;
    return !body || (body->GetPosition().IsValid() && body->GetLinearVelocity().IsValid() &&
                     b2IsValid(body->GetAngle()) && b2IsValid(body->GetAngularVelocity()));
}
} // namespace

bool PlayerControllerComponent::physicsBlownUp() const {
    if (!finiteBodyOf(peekGameObject())) {
        return true;
    }
    for (auto segment = playerBeard.firstSegment(); segment; segment = segment->towardTip.lock()) {
        if (!finiteBodyOf(segment->peekGameObject()) || !finiteBodyOf(segment->slider.get())) {
            return true;
        }
    }
    return false;
}

void PlayerControllerComponent::recoverFromBlowUp(sf::Vector2f fallback) {
    auto object = getGameObject();
    if (!object || !physicsBlownUp()) {
        return;
    }
    reportProblem("Player %d's physics went out of finite numbers; it counts as fallen", number);
    removeBeard();
    // Where the player still is a number it stays (and dies there), else it
    // waits for its respawn at the fallback point.
    sf::Vector2f at = object->transform->getPosition();
    if (!finite(at)) {
        at = fallback;
    }
    object->transform->setPosition(at);
    if (b2Body* own = body ? body->liveBody() : nullptr) {
        // Set at once, not at the next step: the fresh beard is hinged to it now.
        const float angle = b2IsValid(own->GetAngle()) ? own->GetAngle() : 0.0f;
        own->SetTransform(PhysicsManager::instance().toMeters(at), angle);
        own->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        own->SetAngularVelocity(0.0f);
        // Its contacts keep the blown-up impulses to start the next step
        // with: disabling the body for a moment drops them.
        own->SetEnabled(false);
        own->SetEnabled(true);
    }
    growBeard();
}
