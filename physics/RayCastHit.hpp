#pragma once

#include <memory>

#include <box2d/b2_math.h>

class GameObject;

// The closest hit of PhysicsManager::rayCast. Box2D units: metres.
struct RayCastHit {
    // The object whose fixture was hit; observed.
    std::weak_ptr<GameObject> gameObject;
    // World position of the hit, metres (not pixels).
    b2Vec2 point{0.0f, 0.0f};
    // Surface normal at the hit.
    b2Vec2 normal{0.0f, 0.0f};
    // Distance from the start, metres: the cast length times the hit fraction.
    float distance = 0.0f;
};
