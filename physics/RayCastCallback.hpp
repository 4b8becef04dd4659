#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <box2d/b2_world_callbacks.h>

#include "physics/PhysicsManager.hpp"

// Collects the fixtures a ray crosses, skipping those outside `maskBits`,
// those no component owns and those of inactive objects. By default keeps
// only the closest one (clipping the ray at each hit).
class PhysicsManager::RayCastCallback : public b2RayCastCallback {
public:
    struct Result {
        b2Fixture* fixture = nullptr;
        // World metres.
        b2Vec2 point{0.0f, 0.0f};
        b2Vec2 normal{0.0f, 0.0f};
        // Position along the ray, 0 at the start, 1 at the end.
        float fraction = 0.0f;
    };

    float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2& normal,
                        float fraction) override;

    // Keep every hit in `hits` instead of only the closest.
    bool collectAll = false;
    uint16_t maskBits = 0xFFFF;
    std::shared_ptr<Result> closest;
    std::vector<std::shared_ptr<Result>> hits;
};
