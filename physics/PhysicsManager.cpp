#include "physics/PhysicsManager.hpp"

#include <algorithm>
#include <cmath>

#include <box2d/b2_body.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_joint.h>

#include "core/Report.hpp"
#include "physics/ColliderComponent.hpp"
#include "physics/ContactListener.hpp"
#include "physics/DestructionListener.hpp"
#include "physics/OwnerCell.hpp"
#include "physics/RayCastCallback.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

PhysicsManager& PhysicsManager::instance() {
    static PhysicsManager manager;
    return manager;
}

PhysicsManager::PhysicsManager() {
    getOrCreateCollisionLayer(defaultLayerName);
}

void PhysicsManager::reset() {
    replaceWithFresh(*this, PhysicsManager());
}

PhysicsManager::~PhysicsManager() {
    releaseWorld();
    destructionListener.reset();
    contactListener.reset();
    layers.clear();
}

void PhysicsManager::releaseWorld() {
    if (world) {
        // Someone may still hold the old world; it must not call listeners
        // that are about to be deleted.
        world->SetContactListener(nullptr);
        world->SetDestructionListener(nullptr);
    }
    world.reset();
    // Queued objects belong to the old world.
    pendingJoints.clear();
    pendingFixtures.clear();
    pendingBodies.clear();
}

void PhysicsManager::createWorld(float gravityX, float gravityY, float newPixelsPerMeter) {
    auto newWorld = std::make_shared<b2World>(b2Vec2(gravityX, gravityY));
    // Forces applied during a frame's fixed updates must last through all of
    // that frame's steps; the main loop clears them once per frame.
    newWorld->SetAutoClearForces(false);
    releaseWorld();
    world = std::move(newWorld);
    contactListener = std::make_unique<ContactListener>();
    destructionListener = std::make_unique<DestructionListener>();
    world->SetContactListener(contactListener.get());
    world->SetDestructionListener(destructionListener.get());
    pixelsPerMeter = newPixelsPerMeter;
}

std::shared_ptr<CollisionLayer> PhysicsManager::getOrCreateCollisionLayer(const std::string& name) {
    auto found = layers.find(name);
    if (found != layers.end()) {
        return found->second;
    }
    // Filters have 16 category bits: the 17th layer and later get none.
    const auto category = static_cast<uint16_t>(layers.size() < 16 ? 1u << layers.size() : 0u);
    if (category == 0) {
        reportProblem("Collision layer '%s' gets no category bit (only 16 layers have one): it collides "
                      "with nothing",
                      name.c_str());
    }
    auto layer = std::make_shared<CollisionLayer>(name, category);
    layers.emplace(name, layer);
    return layer;
}

std::shared_ptr<CollisionLayer> PhysicsManager::getCollisionLayer(const std::string& name) const {
    auto found = layers.find(name);
    return found != layers.end() ? found->second : nullptr;
}

void PhysicsManager::setLayerCollision(const std::string& nameA, const std::string& nameB, bool collide,
                                       bool bothWays) {
    auto a = getCollisionLayer(nameA);
    auto b = getCollisionLayer(nameB);
    if (!a || !b) {
        return;
    }
    auto change = [collide](b2Filter& filter, uint16_t bits) {
        filter.maskBits = static_cast<uint16_t>(collide ? filter.maskBits | bits : filter.maskBits & ~bits);
    };
    change(a->filter, b->filter.categoryBits);
    if (bothWays) {
        change(b->filter, a->filter.categoryBits);
    }
    a->refreshFilters();
    if (bothWays) {
        b->refreshFilters();
    }
}

void PhysicsManager::applyCollisionRule(const std::string& layerName, const std::string& property,
                                        const std::string& value) {
    const bool on = value != "false" && value != "0";
    if (property == "#Any" || property == "#any") {
        if (auto layer = getCollisionLayer(layerName)) {
            layer->filter.maskBits = on ? 0xFFFF : 0;
            layer->refreshFilters();
        }
        return;
    }
    setLayerCollision(layerName, property, on, false);
}

void PhysicsManager::applyCollisionRules(const std::string& layerName,
                                         const std::vector<std::pair<std::string, std::string>>& properties) {
    for (const auto& [property, value] : properties) {
        applyCollisionRule(layerName, property, value);
    }
}

std::shared_ptr<RayCastHit> PhysicsManager::rayCast(uint16_t mask, float startX, float startY,
                                                    float directionX, float directionY, float length) const {
    if (!world) {
        return nullptr;
    }
    const float directionLength = std::sqrt(directionX * directionX + directionY * directionY);
    // Box2D refuses a ray of no length; a zero direction has no meaning either.
    if (!(directionLength > 0.0f) || !(length > 0.0f) || !std::isfinite(directionLength)) {
        return nullptr;
    }
    const b2Vec2 start = toMeters({startX, startY});
    const b2Vec2 end = start + length * b2Vec2(directionX / directionLength, directionY / directionLength);
    // Far from the origin (a body flung far away) a short ray rounds to no
    // length at all, and a lost body's position may not be a number: Box2D
    // would abort on either.
    if (!start.IsValid() || !end.IsValid() || !((end - start).LengthSquared() > 0.0f)) {
        return nullptr;
    }

    RayCastCallback callback;
    callback.maskBits = mask;
    auto keepWorld = world;
    keepWorld->RayCast(&callback, start, end);
    if (!callback.closest) {
        return nullptr;
    }
    auto hit = std::make_shared<RayCastHit>();
    hit->distance = length * callback.closest->fraction;
    hit->normal = callback.closest->normal;
    hit->point = callback.closest->point;
    if (auto* collider = ownerFrom<ColliderComponent>(callback.closest->fixture->GetUserData().pointer)) {
        hit->gameObject = collider->gameObject;
    }
    return hit;
}

void PhysicsManager::flushPendingDestructions() {
    if (!world) {
        pendingJoints.clear();
        pendingFixtures.clear();
        pendingBodies.clear();
        return;
    }
    // Joints first: they hang on bodies that may be queued too.
    destroyQueued(pendingJoints, [this](b2Joint* joint) { world->DestroyJoint(joint); });
    destroyQueued(pendingFixtures, [](b2Fixture* fixture) { fixture->GetBody()->DestroyFixture(fixture); });
    destroyQueued(pendingBodies, [this](b2Body* body) { world->DestroyBody(body); });
}

void PhysicsManager::stepWorld(float step) {
    if (!world) {
        return;
    }
    auto keepWorld = world;
    // Bodies that do not move by themselves go through the solver with no
    // mass, and 0 x NaN is NaN: a dynamic body that blew up would carry a
    // static ground along, and through it everything that touches it. Their
    // place before the step is kept and given back.
    fixedPlaces.clear();
    for (b2Body* body = keepWorld->GetBodyList(); body; body = body->GetNext()) {
        if (body->GetType() != b2_dynamicBody) {
            fixedPlaces.emplace_back(body, body->GetTransform());
        }
    }
    keepWorld->Step(step, velocityIterations, positionIterations);
    for (const auto& [body, place] : fixedPlaces) {
        if (body->GetPosition().IsValid() && b2IsValid(body->GetAngle())) {
            continue;
        }
        auto* owner = ownerFrom<RigidBodyComponent>(body->GetUserData().pointer);
        auto object = owner ? owner->getGameObject() : nullptr;
        reportProblem("Body of object '%s' was given a place that is not a finite number; it is put back",
                      object ? object->name.c_str() : "");
        body->SetTransform(place.p, place.q.GetAngle());
        if (body->GetType() == b2_staticBody) {
            // Box2D sets no velocity on a static body, but zeroes both when
            // one becomes static.
            body->SetType(b2_kinematicBody);
            body->SetType(b2_staticBody);
        } else if (!body->GetLinearVelocity().IsValid() || !b2IsValid(body->GetAngularVelocity())) {
            body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
            body->SetAngularVelocity(0.0f);
        }
        // Its contacts keep the blown-up impulses to start the next step with;
        // disabling the body for a moment drops them.
        body->SetEnabled(false);
        body->SetEnabled(true);
    }
}

void PhysicsManager::clearForces() {
    if (world) {
        world->ClearForces();
    }
}

template <class Object, class Destroy>
void PhysicsManager::destroyOrQueue(b2World& home, Object* object, std::vector<Object*>& queue,
                                    Destroy&& destroy) {
    if (mustDefer(home)) {
        // Only the current world is flushed; one of an old world goes with it.
        if (&home == world.get() && std::find(queue.begin(), queue.end(), object) == queue.end()) {
            queue.push_back(object);
        }
        return;
    }
    ++destroying;
    destroy(object);
    --destroying;
}

template <class Object, class Destroy>
void PhysicsManager::destroyQueued(std::vector<Object*>& queue, Destroy&& destroy) {
    // Destructions asked for while these run wait for the next flush.
    auto objects = std::move(queue);
    queue.clear();
    for (Object* object : objects) {
        ++destroying;
        destroy(object);
        --destroying;
    }
}

void PhysicsManager::destroyBody(b2Body* body) {
    // Queued fixtures and joints of this body go with it, also those queued by
    // game code that hears the body's contacts end while Box2D takes it
    // apart: the destruction listener drops each from its queue.
    destroyOrQueue(*body->GetWorld(), body, pendingBodies,
                   [](b2Body* dying) { dying->GetWorld()->DestroyBody(dying); });
}

void PhysicsManager::destroyFixture(b2Fixture* fixture) {
    destroyOrQueue(*fixture->GetBody()->GetWorld(), fixture, pendingFixtures,
                   [](b2Fixture* dying) { dying->GetBody()->DestroyFixture(dying); });
}

void PhysicsManager::destroyJoint(b2Joint* joint) {
    destroyOrQueue(*joint->GetBodyA()->GetWorld(), joint, pendingJoints,
                   [](b2Joint* dying) { dying->GetBodyA()->GetWorld()->DestroyJoint(dying); });
}

void PhysicsManager::dropPending(b2Fixture* fixture) {
    pendingFixtures.erase(std::remove(pendingFixtures.begin(), pendingFixtures.end(), fixture),
                          pendingFixtures.end());
}

void PhysicsManager::dropPending(b2Joint* joint) {
    pendingJoints.erase(std::remove(pendingJoints.begin(), pendingJoints.end(), joint), pendingJoints.end());
}

void PhysicsManager::muteContacts(bool muted) {
    if (world) {
        world->SetContactListener(muted ? nullptr : contactListener.get());
    }
}
