#include "physics/PhysicsManager.hpp"

#include <algorithm>
#include <cmath>

#include <box2d/b2_body.h>
#include <box2d/b2_fixture.h>

#include "physics/ColliderComponent.hpp"
#include "physics/ContactListener.hpp"
#include "physics/DestructionListener.hpp"
#include "physics/RayCastCallback.hpp"
#include "scene/GameObject.hpp"

PhysicsManager& PhysicsManager::instance() {
    static PhysicsManager manager;
    return manager;
}

PhysicsManager::PhysicsManager() {
    getOrCreateCollisionLayer(defaultLayerName);
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
    // 16-bit arithmetic on purpose: the 17th layer and later get no bit at all.
    const auto category = static_cast<uint16_t>(layers.size() < 16 ? 1u << layers.size() : 0u);
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
        pendingFixtures.clear();
        pendingBodies.clear();
        return;
    }
    // Destructions asked for by game code while these run wait for the next flush.
    auto fixtures = std::move(pendingFixtures);
    pendingFixtures.clear();
    for (b2Fixture* fixture : fixtures) {
        ++destroying;
        fixture->GetBody()->DestroyFixture(fixture);
        --destroying;
    }
    auto bodies = std::move(pendingBodies);
    pendingBodies.clear();
    for (b2Body* body : bodies) {
        destroyBodyNow(body);
    }
}

void PhysicsManager::stepWorld(float step) {
    if (world) {
        auto keepWorld = world;
        keepWorld->Step(step, velocityIterations, positionIterations);
    }
}

void PhysicsManager::clearForces() {
    if (world) {
        world->ClearForces();
    }
}

void PhysicsManager::destroyBody(b2Body* body) {
    b2World* home = body->GetWorld();
    if (mustDefer(*home)) {
        if (home == world.get() &&
            std::find(pendingBodies.begin(), pendingBodies.end(), body) == pendingBodies.end()) {
            pendingBodies.push_back(body);
        }
        return;
    }
    destroyBodyNow(body);
}

void PhysicsManager::destroyBodyNow(b2Body* body) {
    // A queued fixture of this body goes with it; it must not be destroyed twice.
    pendingFixtures.erase(std::remove_if(pendingFixtures.begin(), pendingFixtures.end(),
                                         [body](b2Fixture* fixture) { return fixture->GetBody() == body; }),
                          pendingFixtures.end());
    ++destroying;
    body->GetWorld()->DestroyBody(body);
    --destroying;
}

void PhysicsManager::destroyFixture(b2Fixture* fixture) {
    b2Body* body = fixture->GetBody();
    if (mustDefer(*body->GetWorld())) {
        if (body->GetWorld() == world.get() &&
            std::find(pendingFixtures.begin(), pendingFixtures.end(), fixture) == pendingFixtures.end()) {
            pendingFixtures.push_back(fixture);
        }
        return;
    }
    ++destroying;
    body->DestroyFixture(fixture);
    --destroying;
}
