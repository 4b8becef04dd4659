#include "physics/CollisionLayer.hpp"

#include <algorithm>

#include "physics/ColliderComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

CollisionLayer::CollisionLayer(std::string name, uint16_t categoryBits) : name(std::move(name)) {
    filter.categoryBits = categoryBits;
    filter.maskBits = 0xFFFF;
    filter.groupIndex = 0;
}

void CollisionLayer::refreshFilters() {
    bodies.erase(std::remove_if(bodies.begin(), bodies.end(),
                                [](RigidBodyComponent* body) {
                                    auto owner = body->getGameObject();
                                    return !owner || owner->destroyed;
                                }),
                 bodies.end());
    for (RigidBodyComponent* body : bodies) {
        applyFilterTo(*body);
    }
}

void CollisionLayer::applyFilterTo(RigidBodyComponent& rigidBody) {
    auto owner = rigidBody.getGameObject();
    if (!owner) {
        return;
    }
    for (auto& collider : owner->getComponents<ColliderComponent>()) {
        // SetFilterData also makes Box2D re-evaluate the fixture's contacts.
        if (b2Fixture* fixture = collider->liveFixture()) {
            fixture->SetFilterData(filter);
        }
    }
}
