// The player's beard chain: growing at the chin, the hinge to the chin, and cutting.
#include <algorithm>

#include "game/player/BeardFadeComponent.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/DistanceJointComponent.hpp"
#include "physics/JointComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "physics/WeldJointComponent.hpp"
#include "render/PolygonRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// The chin hinge lets the first segment lean up to this far forward (radians).
constexpr float chinLean = 0.4f;
constexpr float chinMotorSpeed = 1.0f;
constexpr float chinMaxMotorTorque = 5.0f;

// Two vertices per segment, the chin pair and the pair that closes the strip beyond the tip.
std::size_t meshSizeFor(int segmentCount) {
    return segmentCount > 0 ? static_cast<std::size_t>(2 * segmentCount + 4) : 0;
}

template <class T> void removeComponentsOf(GameObject& object) {
    for (const auto& component : object.getComponents<T>()) {
        object.removeComponent(component);
    }
}
} // namespace

void PlayerControllerComponent::growBeard() {
    auto object = getGameObject();
    if (!object || segmentCount >= tuning.maxSegments) {
        return;
    }
    auto segmentObject = GameObjectManager::instance().createGameObject(object->name + "Beard");
    segmentObject->transform->setPosition(object->transform->getPosition() + beardAnchor);
    auto segment = addComponent<BeardSegmentComponent>(segmentObject, playerNumber);
    if (!segment) {
        GameObjectManager::instance().destroyGameObject(segmentObject);
        return;
    }
    segmentObject->addTag("Beard");
    segment->owner = this;

    if (firstSegment) {
        firstSegment->cuttable = true;
        if (chinJoint) {
            object->removeComponent(chinJoint);
            chinJoint.reset();
        }
        BeardSegmentComponent::join(segment, firstSegment);
        firstSegment = segment;
    } else {
        firstSegment = segment;
        lastSegment = segment;
    }
    segment->cuttable = false;
    addChinJoint();
    segmentCount += 1;
    beardMesh.resize(meshSizeFor(segmentCount));
}

void PlayerControllerComponent::addChinJoint() {
    auto object = getGameObject();
    if (!object || !firstSegment) {
        return;
    }
    chinJoint = addComponent<RevoluteJointComponent>(object, firstSegment->getGameObject(), beardAnchor,
                                                     sf::Vector2f(0.0f, 0.0f));
    if (!chinJoint) {
        return;
    }
    // The beard leans forward, whichever way the player faces.
    if (facingLeft) {
        chinJoint->setLimits(0.0f, chinLean);
        chinJoint->setMotorSpeed(chinMotorSpeed);
    } else {
        chinJoint->setLimits(-chinLean, 0.0f);
        chinJoint->setMotorSpeed(-chinMotorSpeed);
    }
    chinJoint->enableLimit(true);
    chinJoint->setMaxMotorTorque(chinMaxMotorTorque);
    chinJoint->enableMotor(true);
}

void PlayerControllerComponent::destroySegment(BeardSegmentComponent& segment) {
    auto& objects = GameObjectManager::instance();
    // Removing the bodies takes them (and every joint on them) out of the
    // world now; the objects themselves go at the end of the frame.
    for (auto object : {segment.getGameObject(), segment.slider}) {
        if (!object) {
            continue;
        }
        if (object->rigidBody) {
            object->removeComponent(object->rigidBody);
        }
        objects.destroyGameObject(object);
    }
}

void PlayerControllerComponent::cutBeard(const std::shared_ptr<BeardSegmentComponent>& segment) {
    if (!segment) {
        return;
    }
    auto above = segment->towardChin.lock();
    auto start = segment;
    const bool fromChin = !above;
    if (fromChin) {
        above = segment;
        start = above->towardTip.lock();
        if (!start) {
            return;
        }
    }
    if (start->cut) {
        return;
    }

    // Detach: the hinge on the upper segment's slider and its length limit.
    if (above->slider) {
        removeComponentsOf<JointComponent>(*above->slider);
    }
    if (auto aboveObject = above->getGameObject()) {
        removeComponentsOf<DistanceJointComponent>(*aboveObject);
    }
    above->towardTip.reset();

    int count = 0;
    for (auto walk = start; walk; walk = walk->towardTip.lock()) {
        walk->cut = true;
        ++count;
        if (grabJoint && grabJoint->getGameObject() == walk->getGameObject()) {
            grabJoint.reset();
        }
        destroySegment(*walk);
    }

    magicActive = false;
    holding = false;
    holdingPlatform = false;

    // The leftover is the tail of the mesh: the upper segment's pair, the cut
    // segments' pairs and the closing pair. Never more than the mesh holds.
    const std::size_t total = beardMesh.getVertexCount();
    const std::size_t pieceSize = std::min(static_cast<std::size_t>(2 * count + 4), total);
    sf::VertexArray piece(sf::TriangleStrip, pieceSize);
    for (std::size_t i = 0; i < pieceSize; ++i) {
        piece[i] = beardMesh[total - pieceSize + i];
    }
    auto object = getGameObject();
    auto leftovers = GameObjectManager::instance().createGameObject("Beard Leftovers");
    if (object) {
        leftovers->transform->setPosition(object->transform->getPosition());
        leftovers->transform->setScale(object->transform->getScale());
    }
    addComponent<BeardFadeComponent>(leftovers, piece, beardRenderer ? beardRenderer->texture : nullptr);

    segmentCount = std::max(0, segmentCount - count);
    lastSegment = above;
    beardMesh.resize(meshSizeFor(segmentCount));
    above->lockSlider();
    if (!lastSegment) {
        for (auto walk = firstSegment; walk; walk = walk->towardTip.lock()) {
            lastSegment = walk;
        }
    }
}

void PlayerControllerComponent::clearAttackTags() {
    for (auto segment = firstSegment; segment; segment = segment->towardTip.lock()) {
        if (auto object = segment->getGameObject()) {
            object->removeTag("Attack");
        }
    }
}
