#pragma once

#include <memory>
#include <utility>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/System/Vector2.hpp>
#include <box2d/b2_fixture.h>
#include <box2d/b2_shape.h>

#include "physics/Box2DOwnership.hpp"
#include "scene/Component.hpp"

class b2World;

// One Box2D fixture on the body of the object's rigid body. Owns the shape
// (metres, relative to the body origin) and the fixture settings; takes its
// filter from the rigid body's collision layer. Every fixture starts at
// density 1 and the rigid body rescales densities so it keeps its configured
// mass. Without a rigid body (or before it has a body) the collider is inert;
// the rigid body's `init` attaches it later.
class ColliderComponent : public Component {
public:
    ColliderComponent(std::shared_ptr<b2Shape> shape, bool isSensor, float friction, float restitution);
    // Destroys the fixture at once.
    ~ColliderComponent() override;
    ColliderComponent(const ColliderComponent&) = delete;
    ColliderComponent& operator=(const ColliderComponent&) = delete;

    // Attaches the fixture to the rigid body's current body (again, if the
    // body changed).
    void init() override;

    // Debug outline in world pixels, drawn onto any render target. The base
    // draws the bounding box.
    virtual void drawOutline(sf::RenderTarget& target, const sf::Color& color);

    // Axis-aligned bounds (lower, upper) in pixels: in the world while
    // attached, around the body origin while detached.
    std::pair<sf::Vector2f, sf::Vector2f> getBounds();

    // Friction coefficient (0 or more; non-finite values are ignored) for the
    // fixture and for the contacts it already has, which otherwise keep the
    // old mixed friction until they end. Kept in `friction`, so a fixture
    // made again on a new body has it too.
    void setFriction(float value);

    // The fixture while its world exists, else null (and forgotten).
    b2Fixture* liveFixture();
    // Lets go of the fixture: destroyed now, or at the next flush while the
    // world is stepping (teardown, removal from the object).
    void detachFixture();
    // Taken off its object, or its object is freed: detaches the fixture.
    void onRemoved(GameObject& owner) override;
    // Fixtures go after the joints and before the body they hang on.
    int releaseOrder() const override { return 2; }
    // The friction game code sets during a match.
    void snapshotState(StateIo& io) override;
    // Called by the destruction listener: the fixture went with its body.
    void forgetFixture() { ownership.forget(); }

    // Owned; never changed after construction.
    std::shared_ptr<b2Shape> shape;
    bool isSensor;
    float friction;
    float restitution;
    // Owned; the fixture's user data; null while detached.
    OwnerCell<ColliderComponent>* ownerCell = nullptr;
    // Owned by the body; null while detached.
    b2Fixture* fixture = nullptr;

protected:
    // Maps a point in body space (pixels) to world pixels through the owner's
    // world position and rotation.
    sf::Vector2f bodyToWorld(sf::Vector2f point) const;

private:
    Box2DOwnership<ColliderComponent, b2Fixture> ownership{ownerCell, fixture};
};
