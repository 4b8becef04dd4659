#include "game/player/BeardSegmentComponent.hpp"

#include "core/StateIo.hpp"

#include <string>

#include "game/player/PlayerControllerComponent.hpp"
#include "game/player/PlayerEmitters.hpp"
#include "physics/CircleColliderComponent.hpp"
#include "physics/DistanceJointComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/PrismaticJointComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr int dynamicBody = 2;
constexpr float segmentMass = 1.0f;
constexpr float sliderMass = 0.1f;
constexpr float sliderMotorSpeed = 1.0f;
constexpr float sliderMaxMotorForce = 20.0f;
// A link is at most this many segment sizes long: the slider's travel.
constexpr float maxLinkLengthInSizes = 2.0f;
// Impacts slower than this (squared speed, (m/s)^2) make no sound.
constexpr float impactSoundThreshold = 2.0f;

void putOnLayer(const std::shared_ptr<RigidBodyComponent>& body, int playerNumber) {
    auto layer = PhysicsManager::instance().getCollisionLayer("beard" + std::to_string(playerNumber));
    if (body && layer) {
        body->setCollisionLayer(layer);
    }
}
} // namespace

BeardSegmentComponent::BeardSegmentComponent(int playerNumber) : playerNumber(playerNumber) {}

void BeardSegmentComponent::init() {
    Component::init();
    auto object = getGameObject();
    auto body = addComponent<RigidBodyComponent>(object, dynamicBody, segmentMass);
    addComponent<CircleColliderComponent>(object, size / 2.0f);
    putOnLayer(body, playerNumber);

    slider = GameObjectManager::instance().createGameObject(object->name + "2");
    slider->transform->setPosition(object->transform->getPosition());
    auto sliderBody = addComponent<RigidBodyComponent>(slider, dynamicBody, sliderMass);
    addComponent<CircleColliderComponent>(slider, size / 2.0f);
    putOnLayer(sliderBody, playerNumber);

    sliderJoint = addComponent<PrismaticJointComponent>(object, slider, sf::Vector2f(0.0f, 0.0f),
                                                        sf::Vector2f(0.0f, 0.0f), sf::Vector2f(0.0f, 1.0f));
    lockSlider();

    trailParticles = addPlayerEmitter(object, PlayerEmitter::trail);
    hitParticles = addPlayerEmitter(object, PlayerEmitter::hit);
    cutParticles = addPlayerEmitter(object, PlayerEmitter::cut);
}

void BeardSegmentComponent::lockSlider() {
    if (sliderJoint) {
        sliderJoint->setLimits(0.0f, 0.0f);
        sliderJoint->enableLimit(true);
    }
}

void BeardSegmentComponent::join(const std::shared_ptr<BeardSegmentComponent>& newer,
                                 const std::shared_ptr<BeardSegmentComponent>& older) {
    older->towardChin = newer;
    newer->towardTip = older;
    newer->index = (older->index + 1) % older->variantCount;

    auto olderObject = older->getGameObject();
    auto newerObject = newer->getGameObject();
    auto hinge = addComponent<RevoluteJointComponent>(newer->slider, olderObject, sf::Vector2f(0.0f, 0.0f),
                                                      sf::Vector2f(0.0f, 0.0f));
    if (hinge) {
        hinge->setLimits(-newer->angleLimit, newer->angleLimit);
        hinge->enableLimit(true);
    }

    const float pixelsPerMeter = PhysicsManager::instance().pixelsPerMeter;
    if (newer->sliderJoint) {
        newer->sliderJoint->setLimits(0.0f, maxLinkLengthInSizes * newer->size / pixelsPerMeter);
        newer->sliderJoint->enableLimit(true);
        newer->sliderJoint->setMotorSpeed(sliderMotorSpeed);
        newer->sliderJoint->setMaxMotorForce(sliderMaxMotorForce);
        newer->sliderJoint->enableMotor(true);
    }

    // The rope between the two heavy bodies is as long as the link's own
    // travel. The chain's weight then hangs on it directly instead of only on
    // the hinge and slider through the 0.1 kg slider body, which the solver
    // cannot hold in series over 80 links: with twice this length the rope
    // stays slack and a full beard creeps to half again its length and more.
    const sf::Vector2f at = newerObject->transform->getPosition();
    auto length = addComponent<DistanceJointComponent>(newerObject, olderObject, at, at);
    if (length) {
        length->setMinLength(0.0f);
        length->setMaxLength(maxLinkLengthInSizes * newer->size / pixelsPerMeter);
    }
}

float BeardSegmentComponent::squaredSpeed() const {
    auto object = getGameObject();
    if (!object || !object->rigidBody) {
        return 0.0f;
    }
    const b2Vec2 velocity = object->rigidBody->getVelocity();
    return velocity.LengthSquared();
}

void BeardSegmentComponent::onCollisionEnter(std::shared_ptr<GameObject> other) {
    if (!other) {
        return;
    }
    // Most contacts are between beard segments. A segment's object is made by
    // the beard's growth and never carries a player controller, so the (long) search
    // for one is only needed for other objects.
    auto segment = other->getComponent<BeardSegmentComponent>();
    if (!touched) {
        if (other->hasTag("Platform")) {
            touched = other;
            touchedPlatform = true;
            const float s = squaredSpeed();
            if (s > impactSoundThreshold && owner) {
                owner->playGroundHitSound((s - 25.0f) / 100.0f);
            }
        } else if (other->hasTag("Movable")) {
            touched = other;
        } else if (!segment && other->getComponent<PlayerControllerComponent>()) {
            const float s = squaredSpeed();
            if (s > impactSoundThreshold && owner) {
                owner->playPlayerHitSound((s - 25.0f) / 100.0f);
            }
        }
    }
    if (hitSegment.expired() && segment && segment->playerNumber != playerNumber && segment->cuttable) {
        hitSegment = segment;
    }
}

void BeardSegmentComponent::onCollisionExit(std::shared_ptr<GameObject> other) {
    if (!other) {
        return;
    }
    if (other == touched) {
        touched.reset();
        touchedPlatform = false;
    }
    auto recorded = hitSegment.lock();
    if (recorded && other->getComponent<BeardSegmentComponent>() == recorded) {
        hitSegment.reset();
    }
}

void BeardSegmentComponent::snapshotState(StateIo& io) {
    io.value(cuttable);
    io.value(index);
    io.value(cut);
    io.ref(hitSegment);
    io.ref(owner);
    io.ref(touched);
    io.value(touchedPlatform);
    io.ref(slider);
    io.ref(sliderJoint);
    io.ref(towardChin);
    io.ref(towardTip);
}
