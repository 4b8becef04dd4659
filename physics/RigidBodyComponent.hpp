#pragma once

#include <cstdint>
#include <memory>

#include <box2d/b2_body.h>

#include "physics/Box2DOwnership.hpp"
#include "scene/Component.hpp"

class CollisionLayer;

// Gives its game object one Box2D body, made at `init` from the object's
// transform in the PhysicsManager's world, on the layer "_default". It makes
// the object's colliders attach their fixtures and its joints build their
// joints, scales the fixtures' densities so the body weighs `mass`, and keeps
// body and transform in step every fixed update: the transform follows the
// body, except after the transform was moved from outside (marked through
// TransformComponent::markMoved), when the body is teleported.
//
// An object holds at most one (GameObject::rigidBody). The body is destroyed
// with the component, or at once when the component is removed from its
// object. Without a world at `init`, or inside a world step (where Box2D
// cannot make bodies), the component disables itself for good.
class RigidBodyComponent : public Component {
public:
    // Bits of `constraints`.
    static constexpr int32_t lockRotation = 1;
    static constexpr int32_t lockX = 2;
    static constexpr int32_t lockY = 4;

    // bodyType: 0 static, 1 kinematic, 2 dynamic (b2BodyType); mass in kg.
    RigidBodyComponent(int32_t bodyType, float mass);
    ~RigidBodyComponent() override;
    RigidBodyComponent(const RigidBodyComponent&) = delete;
    RigidBodyComponent& operator=(const RigidBodyComponent&) = delete;

    // Refused on an object that already has a rigid body; otherwise becomes
    // its `rigidBody` before `init`, where its colliders and joints look for it.
    bool onAttaching(GameObject& owner, const std::shared_ptr<Component>& self) override;
    // Taken off its object: releases the body, and the object keeps the
    // world angle the body gave it. On a freed object the destructor does it.
    void onRemoved(GameObject& owner) override;
    void init() override;
    // Applies the axis locks, then syncs body and transform one way.
    void fixedUpdate(float step, float time) override;

    // Leaves the current layer; with a layer, joins it and takes its filter at
    // once. An empty layer only unregisters (the fixtures keep their filter).
    void setCollisionLayer(const std::shared_ptr<CollisionLayer>& newLayer);
    // m/s; static bodies keep still. Clamped to the speed limits.
    void setVelocity(float x, float y);
    // m/s; a locked axis reads 0; (0, 0) without a body.
    b2Vec2 getVelocity();
    // A force in newtons at the centre of mass, acting through this frame's
    // steps (forces are cleared once per frame); wakes the body. The parts
    // along locked axes are left out; static and kinematic bodies ignore it.
    void applyForce(float x, float y);
    // An impulse in newton-seconds at the centre of mass: changes the
    // velocity at once; wakes the body. Locked axes are left out as above.
    void applyLinearImpulse(float x, float y);
    // Sets `constraints` (lockRotation | lockX | lockY) after `init`: the body
    // stops turning when rotation is locked, and locked axes are held where
    // the body is now. Without a body only the flags are stored.
    void setConstraints(int32_t flags);
    // Applies `maxSpeed`, or else `maxSpeedX` and `maxSpeedY`, to the body's velocity.
    void clampVelocity();
    // Rescales every attached fixture's density so the body's mass is `mass`
    // (colliders call this after attaching a fixture).
    void fitMassToFixtures();
    // Scales the densities towards mass m unless already within 0.01 kg;
    // a static body only resets its mass data.
    void applyMass(float m);
    // Every joint component of the object destroys its Box2D joint.
    void destroyJoints();
    // Destroys the joints, then the body, and leaves the layer: the component
    // is being removed from its object.
    void releaseBody();

    // Makes the body again after it was let go (a restore of a match
    // snapshot brings the component back): where the transform is, on
    // `savedLayer`, without fixtures or joints (the caller makes those, and
    // puts the body's state back). False without a world or inside a step.
    bool remakeBody(const std::shared_ptr<CollisionLayer>& savedLayer);
    // The settings game code changes during a match: the locks, the limits
    // and the mark of a moved transform.
    void snapshotState(StateIo& io) override;

    // The body while the world that made it exists, else null (and the
    // component forgets it). Everything here goes through this check.
    b2Body* liveBody();
    // The world the body lives in; empty without a body.
    std::shared_ptr<b2World> bodyWorld() const { return ownership.home(); }
    // Called by the destruction paths; the body is gone.
    void forgetBody() { ownership.forget(); }

    int32_t bodyType;
    // Set when the body itself moved the transform (leaving a parent); read,
    // with the transform's own mark (`TransformComponent::movedFromOutside`),
    // and cleared by the next fixedUpdate.
    bool transformChanged = false;
    float mass;
    // lockRotation | lockX | lockY; after `init` change it through setConstraints.
    int32_t constraints = 0;
    // Where locked axes are held, metres.
    b2Vec2 lockedPosition{0.0f, 0.0f};
    // Limits in m/s; negative means none. The per-axis limits apply only while `maxSpeed` is negative.
    float maxSpeed = -1.0f;
    float maxSpeedX = -1.0f;
    float maxSpeedY = -1.0f;
    // Shared with the PhysicsManager's table; the fixtures use its filter.
    std::shared_ptr<CollisionLayer> layer;
    // Owned; the body's user data.
    OwnerCell<RigidBodyComponent>* ownerCell = nullptr;
    // Owned by the world; valid while `bodyWorld` lives (use liveBody).
    b2Body* body = nullptr;

private:
    void destroyBody();
    // (x, y) without the parts along locked axes; zero when not finite.
    b2Vec2 freeAxes(float x, float y) const;

    Box2DOwnership<RigidBodyComponent, b2Body> ownership{ownerCell, body};
};
