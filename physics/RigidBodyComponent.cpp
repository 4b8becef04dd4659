#include "physics/RigidBodyComponent.hpp"

#include <algorithm>
#include <cmath>

#include <box2d/b2_fixture.h>
#include <box2d/b2_world.h>

#include "core/Report.hpp"
#include "core/StateIo.hpp"
#include "physics/ColliderComponent.hpp"
#include "physics/CollisionLayer.hpp"
#include "physics/JointComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "scene/GameObject.hpp"

RigidBodyComponent::RigidBodyComponent(int32_t bodyType, float mass) : bodyType(bodyType), mass(mass) {}

RigidBodyComponent::~RigidBodyComponent() {
    setCollisionLayer(nullptr);
    destroyBody();
}

void RigidBodyComponent::destroyBody() {
    // Forgotten first: game code that hears contacts end while Box2D takes
    // the body apart must not build anything on it. Box2D takes the body's
    // fixtures and the joints ending at it along; the destruction listener
    // clears their components.
    if (b2Body* dying = ownership.release()) {
        PhysicsManager::instance().destroyBody(dying);
    }
}

bool RigidBodyComponent::remakeBody(const std::shared_ptr<CollisionLayer>& savedLayer) {
    auto& physics = PhysicsManager::instance();
    auto owner = getGameObject();
    if (!owner || !physics.world || physics.world->IsLocked()) {
        return false;
    }
    b2BodyDef definition;
    definition.type = static_cast<b2BodyType>(std::clamp<int32_t>(bodyType, b2_staticBody, b2_dynamicBody));
    definition.position = physics.toMeters(owner->transform->getPosition());
    definition.angle = owner->transform->getRotation() / PhysicsManager::degreesPerRadian;
    b2World& world = *physics.world;
    const bool made = ownership.make(*this, physics.world, [&](uintptr_t userData) {
        definition.userData.pointer = userData;
        return world.CreateBody(&definition);
    }) != nullptr;
    if (made) {
        setCollisionLayer(savedLayer);
    }
    return made;
}

void RigidBodyComponent::snapshotState(StateIo& io) {
    io.value(transformChanged);
    io.value(constraints);
    io.value(lockedPosition);
    io.value(maxSpeed);
    io.value(maxSpeedX);
    io.value(maxSpeedY);
}

b2Body* RigidBodyComponent::liveBody() {
    // A replaced world took the body with it, unannounced.
    return ownership.live();
}

void RigidBodyComponent::init() {
    Component::init();
    auto& physics = PhysicsManager::instance();
    auto owner = getGameObject();
    if (!physics.world) {
        enabled = false;
        return;
    }
    if (!owner || liveBody()) {
        return;
    }
    // The body starts where the transform is: a mark from before is spent.
    owner->transform->movedFromOutside = false;
    if (physics.world->IsLocked()) {
        // Added from a contact callback: Box2D cannot make a body inside a step.
        reportProblem("Rigid body of object '%s' added inside a physics step; it gets no body",
                      owner->name.c_str());
        enabled = false;
        return;
    }
    const sf::Vector2f at = owner->transform->getPosition();
    const float degrees = owner->transform->getRotation();
    if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(degrees)) {
        // Box2D asserts on a body placed at no number: refused, not aborted.
        reportProblem("Rigid body of object '%s' has a position that is not a finite number; it gets no body",
                      owner->name.c_str());
        enabled = false;
        return;
    }
    b2BodyDef definition;
    definition.type = static_cast<b2BodyType>(std::clamp<int32_t>(bodyType, b2_staticBody, b2_dynamicBody));
    definition.position = physics.toMeters(owner->transform->getPosition());
    definition.angle = owner->transform->getRotation() / PhysicsManager::degreesPerRadian;
    b2World& world = *physics.world;
    ownership.make(*this, physics.world, [&](uintptr_t userData) {
        definition.userData.pointer = userData;
        return world.CreateBody(&definition);
    });

    setCollisionLayer(physics.getOrCreateCollisionLayer(physics.defaultLayerName));

    if (owner->getComponents<RigidBodyComponent>().size() > 1) {
        enabled = false;
    } else {
        for (auto& collider : owner->getComponents<ColliderComponent>()) {
            collider->init();
        }
        for (auto& joint : owner->getComponents<JointComponent>()) {
            joint->createJoint();
        }
    }

    if (auto parent = owner->lockParent()) {
        // A body lives in world space: the object leaves its parent but keeps
        // where it is drawn. Read everything before the parent goes.
        auto& transform = *owner->transform;
        const sf::Vector2f worldPosition = transform.getPosition();
        const float worldRotation = transform.getRotation();
        const sf::Vector2f worldScale = transform.getWorldScale();
        owner->parent.reset();
        transform.setRotation(worldRotation);
        transform.setScale(worldScale);
        transform.setPosition(worldPosition);
        transformChanged = true;
    }

    if (bodyType != b2_staticBody) {
        applyMass(mass);
    }
}

void RigidBodyComponent::fixedUpdate(float, float) {
    b2Body* current = liveBody();
    GameObject* owner = peekGameObject();
    if (!current || !owner) {
        return;
    }
    const bool isStatic = current->GetType() == b2_staticBody;
    if (constraints & lockX) {
        if (!isStatic) {
            current->SetLinearVelocity(b2Vec2(0.0f, current->GetLinearVelocity().y));
        }
        current->SetTransform(b2Vec2(lockedPosition.x, current->GetPosition().y), current->GetAngle());
    }
    if (constraints & lockY) {
        if (!isStatic) {
            current->SetLinearVelocity(b2Vec2(current->GetLinearVelocity().x, 0.0f));
        }
        current->SetTransform(b2Vec2(current->GetPosition().x, lockedPosition.y), current->GetAngle());
    }

    const auto& physics = PhysicsManager::instance();
    auto& transform = *owner->transform;
    if (transformChanged || transform.movedFromOutside) {
        current->SetTransform(physics.toMeters(transform.getPosition()),
                              transform.getRotation() / PhysicsManager::degreesPerRadian);
    } else {
        // Straight into the transformable: `setPosition` would mark the
        // transform moved, only for the mark to be cleared below.
        transform.transformable.setPosition(physics.toPixels(current->GetPosition()));
        transform.setRotation(current->GetAngle() * PhysicsManager::degreesPerRadian);
        clampVelocity();
    }
    transformChanged = false;
    transform.movedFromOutside = false;
}

void RigidBodyComponent::setCollisionLayer(const std::shared_ptr<CollisionLayer>& newLayer) {
    if (layer) {
        auto& listed = layer->bodies;
        listed.erase(std::remove(listed.begin(), listed.end(), this), listed.end());
    }
    if (!newLayer) {
        return;
    }
    layer = newLayer;
    layer->bodies.push_back(this);
    layer->applyFilterTo(*this);
}

void RigidBodyComponent::setVelocity(float x, float y) {
    b2Body* current = liveBody();
    if (!current) {
        return;
    }
    if (current->GetType() != b2_staticBody) {
        current->SetLinearVelocity(b2Vec2(x, y));
    }
    clampVelocity();
}

b2Vec2 RigidBodyComponent::getVelocity() {
    b2Body* current = liveBody();
    if (!current) {
        return b2Vec2(0.0f, 0.0f);
    }
    b2Vec2 velocity = current->GetLinearVelocity();
    if (constraints & lockX) {
        velocity.x = 0.0f;
    }
    if (constraints & lockY) {
        velocity.y = 0.0f;
    }
    return velocity;
}

b2Vec2 RigidBodyComponent::freeAxes(float x, float y) const {
    // A NaN pushed into Box2D spreads through every body it touches.
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return b2Vec2(0.0f, 0.0f);
    }
    return b2Vec2((constraints & lockX) ? 0.0f : x, (constraints & lockY) ? 0.0f : y);
}

void RigidBodyComponent::applyForce(float x, float y) {
    b2Body* current = liveBody();
    const b2Vec2 force = freeAxes(x, y);
    if (current && (force.x != 0.0f || force.y != 0.0f)) {
        current->ApplyForceToCenter(force, true);
    }
}

void RigidBodyComponent::applyLinearImpulse(float x, float y) {
    b2Body* current = liveBody();
    const b2Vec2 impulse = freeAxes(x, y);
    if (current && (impulse.x != 0.0f || impulse.y != 0.0f)) {
        current->ApplyLinearImpulseToCenter(impulse, true);
    }
}

void RigidBodyComponent::setConstraints(int32_t flags) {
    constraints = flags;
    if (b2Body* current = liveBody()) {
        current->SetFixedRotation((flags & lockRotation) != 0);
        lockedPosition = current->GetPosition();
    }
}

void RigidBodyComponent::clampVelocity() {
    b2Body* current = liveBody();
    if (!current) {
        return;
    }
    b2Vec2 velocity = current->GetLinearVelocity();
    if (maxSpeed >= 0.0f) {
        const float speed = velocity.Length();
        if (speed > maxSpeed) {
            velocity *= maxSpeed / speed;
        }
    } else {
        if (maxSpeedX >= 0.0f && std::fabs(velocity.x) > maxSpeedX) {
            velocity.x = std::copysign(maxSpeedX, velocity.x);
        }
        if (maxSpeedY >= 0.0f && std::fabs(velocity.y) > maxSpeedY) {
            velocity.y = std::copysign(maxSpeedY, velocity.y);
        }
    }
    if (current->GetType() != b2_staticBody) {
        current->SetLinearVelocity(velocity);
    }
}

namespace {
// Multiplies the density of every attached fixture of the object's colliders.
void scaleDensities(GameObject& owner, b2Body& body, float factor) {
    for (auto& collider : owner.getComponents<ColliderComponent>()) {
        b2Fixture* fixture = collider->liveFixture();
        if (fixture && fixture->GetBody() == &body) {
            fixture->SetDensity(fixture->GetDensity() * factor);
        }
    }
    body.ResetMassData();
}
} // namespace

void RigidBodyComponent::fitMassToFixtures() {
    b2Body* current = liveBody();
    auto owner = getGameObject();
    if (!current || !owner) {
        return;
    }
    current->ResetMassData();
    const float total = current->GetMass();
    if (total == 0.0f) {
        return;
    }
    scaleDensities(*owner, *current, mass / total);
}

void RigidBodyComponent::applyMass(float m) {
    b2Body* current = liveBody();
    auto owner = getGameObject();
    if (!current || !owner) {
        return;
    }
    if (current->GetType() == b2_staticBody) {
        current->ResetMassData();
        return;
    }
    const float total = current->GetMass();
    if (total == 0.0f || std::fabs(total - m) < 0.01f) {
        return;
    }
    scaleDensities(*owner, *current, m / total);
}

void RigidBodyComponent::destroyJoints() {
    if (auto owner = getGameObject()) {
        for (auto& joint : owner->getComponents<JointComponent>()) {
            joint->destroyJoint();
        }
    }
}

void RigidBodyComponent::releaseBody() {
    destroyJoints();
    setCollisionLayer(nullptr);
    layer.reset();
    destroyBody();
}

bool RigidBodyComponent::onAttaching(GameObject& owner, const std::shared_ptr<Component>& self) {
    if (owner.rigidBody) {
        return false;
    }
    owner.rigidBody = std::static_pointer_cast<RigidBodyComponent>(self);
    return true;
}

void RigidBodyComponent::onRemoved(GameObject& owner) {
    if (owner.rigidBody.get() != this) {
        return;
    }
    releaseBody();
    if (auto parent = owner.lockParent()) {
        // Read both rotations while the body still counts, so the object
        // keeps the world angle the body gave it.
        auto& transform = *owner.transform;
        const float worldRotation = transform.getRotation();
        const float parentRotation = parent->transform->getRotation();
        transform.setRotation(worldRotation - parentRotation);
    }
    // No body is left to move to the transform.
    owner.transform->movedFromOutside = false;
    owner.rigidBody.reset();
}
