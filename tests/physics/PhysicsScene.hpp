#pragma once

#include <string>
#include <vector>

#include <SFML/System/Vector2.hpp>
#include <gtest/gtest.h>

#include "app/Game.hpp"
#include "physics/BoxColliderComponent.hpp"
#include "physics/CircleColliderComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"

// Helpers for physics tests: objects with bodies, and fixed steps run the way
// the frame loop runs them (every object's fixed update, then the world step).
namespace physics_test {

constexpr float fixedStep = 1.0f / 60.0f;

inline std::shared_ptr<GameObject> makeObject(const std::string& name, sf::Vector2f position) {
    auto object = GameObjectManager::instance().createGameObject(name);
    object->transform->setPosition(position);
    return object;
}

// An object at `position` (pixels) with a body and a box of `size` pixels.
inline std::shared_ptr<GameObject> makeBox(const std::string& name, sf::Vector2f position, sf::Vector2f size,
                                           int32_t bodyType, bool sensor = false, float mass = 1.0f) {
    auto object = makeObject(name, position);
    addComponent<RigidBodyComponent>(object, bodyType, mass);
    addComponent<BoxColliderComponent>(object, sf::Vector2f(0.0f, 0.0f), size, 0.0f, sensor);
    return object;
}

// Lets go of every game object, listed or pending.
inline void clearScene() {
    auto& objects = GameObjectManager::instance();
    objects.pendingAdditions.clear();
    objects.pendingDestructions.clear();
    objects.clear(true);
}

// Back to the one layer "_default", open to every layer. Layers are never
// removed in the engine; only tests start the table again.
inline void resetLayers() {
    auto& physics = PhysicsManager::instance();
    physics.layers.clear();
    physics.getOrCreateCollisionLayer(physics.defaultLayerName);
}

// Base of the physics fixtures: a case starts with the layer table of a
// fresh manager and leaves no game object behind, so the cases also pass one
// after another in one process without the engine reset between them.
struct SceneTest : ::testing::Test {
    SceneTest() {
        clearScene();
        resetLayers();
    }
    void TearDown() override { clearScene(); }
};

inline void step(int count = 1) {
    auto& objects = GameObjectManager::instance();
    objects.flushPendingAdditions();
    // Never run: only its fixed update, which walks every listed object.
    static Game loop;
    static float time = 0.0f;
    for (int i = 0; i < count; ++i) {
        time += fixedStep;
        loop.fixedUpdate(fixedStep, time);
        PhysicsManager::instance().stepWorld(fixedStep);
        PhysicsManager::instance().clearForces();
    }
}

// Records the contact calls a component hears, as "enter:Name" and so on.
struct ContactRecorder : Component {
    std::vector<std::string> calls;
    void note(const char* what, const std::shared_ptr<GameObject>& other) {
        calls.push_back(std::string(what) + ":" + (other ? other->name : "?"));
    }
    void onCollisionEnter(std::shared_ptr<GameObject> other) override { note("enter", other); }
    void onCollisionStay(std::shared_ptr<GameObject> other) override { note("stay", other); }
    void onCollisionExit(std::shared_ptr<GameObject> other) override { note("exit", other); }
    void onTriggerEnter(std::shared_ptr<GameObject> other) override { note("triggerEnter", other); }
    void onTriggerStay(std::shared_ptr<GameObject> other) override { note("triggerStay", other); }
    void onTriggerExit(std::shared_ptr<GameObject> other) override { note("triggerExit", other); }
    size_t count(const std::string& call) const {
        size_t n = 0;
        for (const auto& c : calls) {
            n += c == call;
        }
        return n;
    }
};

} // namespace physics_test
