#include "game/online/MatchChecksum.hpp"

#include <cmath>
#include <cstring>

#include <box2d/b2_body.h>
#include <box2d/b2_contact.h>
#include <box2d/b2_joint.h>
#include <box2d/b2_world.h>

#include "core/RandomSource.hpp"
#include "game/PlayerNames.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/MovingPlatformComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// FNV-1a, 32 bits, over the bytes of each value in turn.
class Fnv1a {
public:
    void add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash = (hash ^ bytes[i]) * 16777619u;
        }
    }
    void addFloat(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        add(&bits, sizeof bits);
    }
    void addVector(const b2Vec2& value) {
        addFloat(value.x);
        addFloat(value.y);
    }
    void addInt(int64_t value) { add(&value, sizeof value); }
    uint32_t value() const { return hash; }

private:
    uint32_t hash = 2166136261u;
};

// The impulses a joint keeps are read back as forces over one step.
constexpr float stepsPerSecond = 60.0f;

// A joint that has not been through a step yet has no impulse, but Box2D
// scales that zero by directions it has not worked out yet (whatever the
// memory held): the sign of the zero, or a zero times a non-number, says
// nothing about the match.
void addJointForce(Fnv1a& hash, float force) {
    hash.addFloat(std::isfinite(force) && force != 0.0f ? force : 0.0f);
}

void addBody(Fnv1a& hash, const b2Body& body) {
    hash.addInt(body.GetType());
    hash.addVector(body.GetPosition());
    hash.addFloat(body.GetAngle());
    hash.addVector(body.GetLinearVelocity());
    hash.addFloat(body.GetAngularVelocity());
    hash.addInt(body.IsAwake() ? 1 : 0);
    hash.addInt(body.IsEnabled() ? 1 : 0);
}

void addWorld(Fnv1a& hash, b2World& world) {
    for (const b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        addBody(hash, *body);
    }
    for (b2Joint* joint = world.GetJointList(); joint; joint = joint->GetNext()) {
        hash.addInt(joint->GetType());
        const b2Vec2 force = joint->GetReactionForce(stepsPerSecond);
        addJointForce(hash, force.x);
        addJointForce(hash, force.y);
        addJointForce(hash, joint->GetReactionTorque(stepsPerSecond));
    }
    for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
        hash.addInt((contact->IsTouching() ? 1 : 0) | (contact->IsEnabled() ? 2 : 0));
        hash.addFloat(contact->GetFriction());
        hash.addFloat(contact->GetRestitution());
        hash.addFloat(contact->GetTangentSpeed());
        const b2Manifold& manifold = *contact->GetManifold();
        hash.addInt(manifold.pointCount);
        for (int point = 0; point < manifold.pointCount; ++point) {
            hash.addInt(manifold.points[point].id.key);
            hash.addFloat(manifold.points[point].normalImpulse);
            hash.addFloat(manifold.points[point].tangentImpulse);
        }
    }
}

void addObjectBody(Fnv1a& hash, const GameObject* object) {
    const b2Body* body = object && object->rigidBody ? object->rigidBody->body : nullptr;
    if (body) {
        addBody(hash, *body);
    } else {
        hash.addInt(-1);
    }
}

void addBeard(Fnv1a& hash, const Beard& beard) {
    for (auto segment = beard.firstSegment(); segment; segment = segment->towardTip.lock()) {
        hash.addInt(segment->index);
        hash.addInt((segment->cuttable ? 1 : 0) | (segment->cut ? 2 : 0) |
                    (segment->touchedPlatform ? 4 : 0) | (segment->touched ? 8 : 0));
        const auto hit = segment->hitSegment.lock();
        hash.addInt(hit ? hit->index : -1);
        addObjectBody(hash, segment->getGameObject().get());
        addObjectBody(hash, segment->slider.get());
    }
    hash.addInt(beard.lastSegment() ? beard.lastSegment()->index : -1);
    hash.addInt(beard.segmentCount());
    hash.addFloat(beard.anchor().x);
    hash.addFloat(beard.anchor().y);
    hash.addInt(beard.grabJoint() ? 1 : 0);
}

// The player's simulation state, field by field; what only shows (the
// animation picked, footsteps, the magic's colour pulse) is left out, as it
// is from a saved match.
void addPlayer(Fnv1a& hash, const PlayerControllerComponent& player) {
    const PlayerState& state = player.state();
    hash.addInt(state.lives);
    hash.addInt(state.magicCharges);
    hash.addInt((state.frozen ? 1 : 0) | (state.magicActive ? 2 : 0) | (state.groundCheckEnabled ? 4 : 0) |
                (state.facingLeft ? 8 : 0) | (state.holding ? 16 : 0) | (state.skipTagClear ? 32 : 0) |
                (state.holdingPlatform ? 64 : 0) | (state.unlimitedLives ? 128 : 0));
    hash.addInt(state.category);
    hash.addInt(state.mask);
    hash.addInt(state.group);
    for (const float value : {state.deathTimer, state.holdTimer, state.growTimer, state.attackTimer,
                              state.halfWidth, state.halfHeight}) {
        hash.addFloat(value);
    }
    addBeard(hash, player.beard());
}
} // namespace

uint32_t matchChecksum() {
    Fnv1a hash;
    if (const auto world = PhysicsManager::instance().world) {
        addWorld(hash, *world);
    }
    auto& objects = GameObjectManager::instance();
    for (int number = 1; number <= 2; ++number) {
        const auto object = objects.findGameObject(playerObjectName(number));
        const auto controller = object ? object->getComponent<PlayerControllerComponent>() : nullptr;
        if (controller) {
            addPlayer(hash, *controller);
        } else {
            hash.addInt(-1);
        }
    }
    // Only a kinematic body can be a moving platform under way.
    for (const auto& object : objects.sceneObjects) {
        const b2Body* body = object->rigidBody ? object->rigidBody->body : nullptr;
        if (body && body->GetType() == b2_kinematicBody) {
            if (const auto platform = object->getComponent<MovingPlatformComponent>()) {
                hash.addInt(platform->stepsTaken());
            }
        }
    }
    hash.addInt(static_cast<int64_t>(RandomSource::instance().getState()));
    return hash.value();
}
