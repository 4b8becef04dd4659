#include "game/player/Beard.hpp"

#include <algorithm>

#include "core/StateIo.hpp"
#include "game/player/BeardFadeComponent.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/DistanceJointComponent.hpp"
#include "physics/JointComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "physics/WeldJointComponent.hpp"
#include "render/AssetManager.hpp"
#include "render/PolygonRendererComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// The chin hinge lets the first segment lean up to this far forward (radians).
constexpr float chinLean = 0.4f;
constexpr float chinMotorSpeed = 1.0f;
constexpr float chinMaxMotorTorque = 5.0f;
// Farthest two neighbouring segments may be apart (in segment sizes): the
// distance joint between them holds them within 4 sizes; a little slack.
constexpr float maxLinkStretch = 4.5f;

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

Beard::~Beard() {
    for (auto segment = first; segment; segment = segment->towardTip.lock()) {
        segment->owner = nullptr;
    }
}

void Beard::attachRenderer(const std::shared_ptr<GameObject>& player) {
    meshRenderer = addComponent<PolygonRendererComponent>(player, strip, -1);
    if (meshRenderer) {
        auto texture = AssetManager::instance().getTexture("../assets/beard_whole.png");
        if (texture) {
            texture->setRepeated(true);
        }
        meshRenderer->setTexture(texture);
        meshRenderer->setLayer(RenderManager::instance().findLayer("Beards"));
    }
}

bool Beard::grow(const std::shared_ptr<GameObject>& player, PlayerControllerComponent* owner, int maxSegments,
                 bool facingLeft) {
    if (!player || count >= maxSegments) {
        return false;
    }
    auto segmentObject = GameObjectManager::instance().createGameObject(player->name + "Beard");
    segmentObject->transform->setPosition(player->transform->getPosition() + chinAnchor);
    auto segment = addComponent<BeardSegmentComponent>(segmentObject, owner->playerNumber());
    if (!segment) {
        GameObjectManager::instance().destroyGameObject(segmentObject);
        return false;
    }
    segmentObject->addTag("Beard");
    segment->owner = owner;

    if (first) {
        first->cuttable = true;
        removeChinJoint(player);
        BeardSegmentComponent::join(segment, first);
        first = segment;
    } else {
        first = segment;
        last = segment;
    }
    segment->cuttable = false;
    addChinJoint(player, facingLeft);
    count += 1;
    strip.resize(meshSizeFor(count));
    return true;
}

void Beard::addChinJoint(const std::shared_ptr<GameObject>& player, bool facingLeft) {
    if (!player || !first) {
        return;
    }
    chinJoint = addComponent<RevoluteJointComponent>(player, first->getGameObject(), chinAnchor,
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

void Beard::removeChinJoint(const std::shared_ptr<GameObject>& player) {
    if (chinJoint) {
        player->removeComponent(chinJoint);
        chinJoint.reset();
    }
}

void Beard::turn(const std::shared_ptr<GameObject>& player, bool facingLeft) {
    removeChinJoint(player);
    chinAnchor.x = -chinAnchor.x;
    addChinJoint(player, facingLeft);
}

void Beard::destroySegment(BeardSegmentComponent& segment) {
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

bool Beard::cut(const std::shared_ptr<BeardSegmentComponent>& segment,
                const std::shared_ptr<GameObject>& player) {
    if (!segment) {
        return false;
    }
    auto above = segment->towardChin.lock();
    auto start = segment;
    const bool fromChin = !above;
    if (fromChin) {
        above = segment;
        start = above->towardTip.lock();
        if (!start) {
            return false;
        }
    }
    if (start->cut) {
        return false;
    }

    // Detach: the hinge on the upper segment's slider and its length limit.
    if (above->slider) {
        removeComponentsOf<JointComponent>(*above->slider);
    }
    if (auto aboveObject = above->getGameObject()) {
        removeComponentsOf<DistanceJointComponent>(*aboveObject);
    }
    above->towardTip.reset();

    int removed = 0;
    for (auto walk = start; walk; walk = walk->towardTip.lock()) {
        walk->cut = true;
        ++removed;
        if (grab && grab->getGameObject() == walk->getGameObject()) {
            grab.reset();
        }
        destroySegment(*walk);
    }

    // The leftover is the tail of the mesh: the upper segment's pair, the cut
    // segments' pairs and the closing pair. Never more than the mesh holds.
    const std::size_t total = strip.getVertexCount();
    const std::size_t pieceSize = std::min(static_cast<std::size_t>(2 * removed + 4), total);
    sf::VertexArray piece(sf::TriangleStrip, pieceSize);
    for (std::size_t i = 0; i < pieceSize; ++i) {
        piece[i] = strip[total - pieceSize + i];
    }
    auto leftovers = GameObjectManager::instance().createGameObject("Beard Leftovers");
    if (player) {
        leftovers->transform->setPosition(player->transform->getPosition());
        leftovers->transform->setScale(player->transform->getScale());
    }
    addComponent<BeardFadeComponent>(leftovers, piece, meshRenderer ? meshRenderer->texture : nullptr);

    count = std::max(0, count - removed);
    last = above;
    strip.resize(meshSizeFor(count));
    above->lockSlider();
    if (!last) {
        for (auto walk = first; walk; walk = walk->towardTip.lock()) {
            last = walk;
        }
    }
    return true;
}

void Beard::remove(const std::shared_ptr<GameObject>& player) {
    // The old chin segment goes with its slider, and the hinge to it, so the
    // fresh beard starts from nothing.
    if (first) {
        destroySegment(*first);
    }
    removeChinJoint(player);
    first.reset();
    last.reset();
    count = 0;
    strip.resize(0);
    // A one-segment beard had nothing to cut, but may have held on to something.
    grab.reset();
}

void Beard::forgetChain() {
    first.reset();
    count = 0;
    strip.resize(0);
}

void Beard::weldTip() {
    auto tipObject = last ? last->getGameObject() : nullptr;
    if (!tipObject) {
        return;
    }
    grab = addComponent<WeldJointComponent>(tipObject, last->touched, tipObject->transform->getPosition());
}

void Beard::releaseGrab() {
    if (grab) {
        if (auto holder = grab->getGameObject()) {
            holder->removeComponent(grab);
        }
        grab.reset();
    }
}

void Beard::clearAttackTags() {
    for (auto segment = first; segment; segment = segment->towardTip.lock()) {
        if (auto object = segment->getGameObject()) {
            object->removeTag("Attack");
        }
    }
}

bool Beard::overstretched() const {
    // A hard fling can pull the chain past what its links allow for a few
    // steps. Welding the tip there would lock that in: the chain then pulls
    // the player toward the weld, the joints cannot all hold, and the
    // solver's answers grow without bound until the positions are not numbers.
    if (!first || !last) {
        return false;
    }
    auto chinObject = first->getGameObject();
    auto tipObject = last->getGameObject();
    if (!chinObject || !tipObject) {
        return false;
    }
    const sf::Vector2f span = tipObject->transform->getPosition() - chinObject->transform->getPosition();
    const float links = static_cast<float>(std::max(0, count - 1));
    const float reach = links * maxLinkStretch * last->size + last->size;
    return span.x * span.x + span.y * span.y > reach * reach;
}

void Beard::snapshotState(StateIo& io) {
    io.ref(first);
    io.ref(last);
    io.value(count);
    io.value(chinAnchor);
    io.ref(chinJoint);
    io.ref(grab);
    if (!io.saving()) {
        strip.resize(meshSizeFor(count));
    }
}
