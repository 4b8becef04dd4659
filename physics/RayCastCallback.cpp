#include "physics/RayCastCallback.hpp"

#include <box2d/b2_fixture.h>

#include "physics/ColliderComponent.hpp"
#include "scene/GameObject.hpp"

float PhysicsManager::RayCastCallback::ReportFixture(b2Fixture* fixture, const b2Vec2& point,
                                                     const b2Vec2& normal, float fraction) {
    // Returning -1 ignores the fixture without clipping the ray.
    if ((fixture->GetFilterData().categoryBits & maskBits) == 0) {
        return -1.0f;
    }
    auto* collider = ownerFrom<ColliderComponent>(fixture->GetUserData().pointer);
    if (!collider) {
        return -1.0f;
    }
    auto object = collider->getGameObject();
    if (!object || !object->isActiveInHierarchy()) {
        return -1.0f;
    }
    auto result = std::make_shared<Result>(Result{fixture, point, normal, fraction});
    if (collectAll) {
        hits.push_back(std::move(result));
        return 1.0f;
    }
    closest = std::move(result);
    return fraction;
}
