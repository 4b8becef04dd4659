#include "physics/ColliderComponent.hpp"

#include <algorithm>
#include <cmath>

#include <SFML/Graphics/VertexArray.hpp>
#include <box2d/b2_body.h>
#include <box2d/b2_collision.h>
#include <box2d/b2_contact.h>

#include "core/Report.hpp"
#include "core/StateIo.hpp"
#include "physics/CollisionLayer.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"

ColliderComponent::ColliderComponent(std::shared_ptr<b2Shape> shape, bool isSensor, float friction,
                                     float restitution)
    : shape(std::move(shape)), isSensor(isSensor), friction(friction), restitution(restitution) {}

ColliderComponent::~ColliderComponent() {
    detachFixture();
}

b2Fixture* ColliderComponent::liveFixture() {
    // A replaced world took the fixture with it, unannounced.
    return ownership.live();
}

void ColliderComponent::detachFixture() {
    if (b2Fixture* dying = ownership.release()) {
        PhysicsManager::instance().destroyFixture(dying);
    }
}

void ColliderComponent::init() {
    Component::init();
    auto owner = getGameObject();
    if (!owner || !owner->rigidBody) {
        return;
    }
    RigidBodyComponent& rigidBody = *owner->rigidBody;
    b2Body* body = rigidBody.liveBody();
    if (!body) {
        return;
    }
    if (b2Fixture* current = liveFixture()) {
        if (current->GetBody() == body) {
            return;
        }
    }
    auto world = rigidBody.bodyWorld();
    if (world->IsLocked()) {
        // Added from a contact callback: Box2D cannot make a fixture inside a step.
        reportProblem("Collider of object '%s' added inside a physics step; it stays detached",
                      owner->name.c_str());
        return;
    }
    detachFixture();

    b2FixtureDef definition;
    definition.shape = shape.get();
    definition.friction = friction;
    definition.restitution = restitution;
    definition.restitutionThreshold = 1.0f;
    definition.density = 1.0f;
    definition.isSensor = isSensor;
    if (rigidBody.layer) {
        definition.filter = rigidBody.layer->filter;
    }
    const bool made = ownership.make(*this, world, [&](uintptr_t userData) {
        definition.userData.pointer = userData;
        return body->CreateFixture(&definition);
    });
    if (made) {
        rigidBody.fitMassToFixtures();
    }
}

void ColliderComponent::setFriction(float value) {
    if (!std::isfinite(value)) {
        return;
    }
    friction = std::max(value, 0.0f);
    b2Fixture* current = liveFixture();
    if (!current) {
        return;
    }
    current->SetFriction(friction);
    // A contact mixes the two frictions once, when it begins; existing ones
    // must be told.
    for (b2ContactEdge* edge = current->GetBody()->GetContactList(); edge; edge = edge->next) {
        b2Contact* contact = edge->contact;
        if (contact->GetFixtureA() == current || contact->GetFixtureB() == current) {
            contact->ResetFriction();
        }
    }
}

std::pair<sf::Vector2f, sf::Vector2f> ColliderComponent::getBounds() {
    b2Transform transform;
    transform.SetIdentity();
    if (b2Fixture* current = liveFixture()) {
        transform = current->GetBody()->GetTransform();
    }
    b2AABB bounds;
    shape->ComputeAABB(&bounds, transform, 0);
    for (int32 child = 1; child < shape->GetChildCount(); ++child) {
        b2AABB childBounds;
        shape->ComputeAABB(&childBounds, transform, child);
        bounds.Combine(childBounds);
    }
    const auto& physics = PhysicsManager::instance();
    return {physics.toPixels(bounds.lowerBound), physics.toPixels(bounds.upperBound)};
}

sf::Vector2f ColliderComponent::bodyToWorld(sf::Vector2f point) const {
    auto owner = getGameObject();
    if (!owner) {
        return point;
    }
    // Position and rotation only: shapes are not scaled with the object, and
    // a transform origin set for a sprite must not shift the outline.
    sf::Transform toWorld;
    toWorld.translate(owner->transform->getPosition()).rotate(owner->transform->getRotation());
    return toWorld.transformPoint(point);
}

void ColliderComponent::drawOutline(sf::RenderTarget& target, const sf::Color& color) {
    const auto [lower, upper] = getBounds();
    sf::VertexArray outline(sf::LineStrip, 5);
    const sf::Vector2f corners[] = {lower, {upper.x, lower.y}, upper, {lower.x, upper.y}, lower};
    for (size_t i = 0; i < 5; ++i) {
        outline[i] = sf::Vertex(corners[i], color);
    }
    target.draw(outline);
}

void ColliderComponent::onRemoved(GameObject&) {
    detachFixture();
}

void ColliderComponent::snapshotState(StateIo& io) {
    io.value(friction);
}
