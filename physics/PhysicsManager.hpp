#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <SFML/System/Vector2.hpp>
#include <box2d/b2_world.h>

#include "core/FreshState.hpp"
#include "physics/CollisionLayer.hpp"
#include "physics/RayCastHit.hpp"

// Owner of the Box2D world, its callback objects and the named collision
// layers. Box2D works in metres and radians; the scene in pixels and degrees,
// converted with `pixelsPerMeter` and `degreesPerRadian`.
//
// Bodies, fixtures and joints belong to the world but are made and destroyed
// by the components that own them (RigidBodyComponent, ColliderComponent,
// JointComponent). Replacing the world frees all of them without notice:
// components notice on their next use and hold nothing afterwards.
class PhysicsManager {
public:
    class ContactListener;
    class DestructionListener;
    class RayCastCallback;

    static constexpr float degreesPerRadian = 57.295779513f;

    // The singleton; the first call creates it with the layer "_default".
    static PhysicsManager& instance();
    // The world and its listeners go before the layer table.
    ~PhysicsManager();
    PhysicsManager(const PhysicsManager&) = delete;
    PhysicsManager& operator=(const PhysicsManager&) = delete;
    // Back to the just-constructed manager: no world (its bodies, fixtures and
    // joints go with it, as in `createWorld`), only the layer "_default",
    // default iteration counts and scale.
    void reset();

    // Replaces the world: gravity in m/s^2 (y down), forces kept across steps
    // until `clearForces`, fresh listeners. The old world is freed when the
    // last shared pointer to it goes, taking its bodies with it.
    void createWorld(float gravityX, float gravityY, float pixelsPerMeter);

    // The layer of that name, created (with the next category bit) if new.
    std::shared_ptr<CollisionLayer> getOrCreateCollisionLayer(const std::string& name);
    // Empty when no layer has that name.
    std::shared_ptr<CollisionLayer> getCollisionLayer(const std::string& name) const;
    // Adds (collide) or removes B's bit in A's mask, and A's in B's with
    // bothWays, then refreshes the changed layers. Unknown names do nothing.
    void setLayerCollision(const std::string& nameA, const std::string& nameB, bool collide, bool bothWays);

    // A map object group's property read as a collision rule for the group's
    // layer: "#Any"/"#any" opens or closes the whole mask, any other name is a
    // layer to collide with or not. The value is false exactly for "false" and "0".
    void applyCollisionRule(const std::string& layerName, const std::string& property,
                            const std::string& value);
    // Every property of a group, in order.
    void applyCollisionRules(const std::string& layerName,
                             const std::vector<std::pair<std::string, std::string>>& properties);

    // The closest fixture on the ray whose category shares a bit with `mask`
    // and whose object is active. Start in pixels, direction of any non-zero
    // length, length in metres. Empty without a world or a hit.
    std::shared_ptr<RayCastHit> rayCast(uint16_t mask, float startX, float startY, float directionX,
                                        float directionY, float length) const;

    // Destroys the queued joints, then the queued fixtures (each through its
    // body), then the queued bodies.
    void flushPendingDestructions();
    // While muted, bodies and fixtures taken out of the world end their
    // contacts unheard (a match snapshot's restore puts the scene's record
    // of contacts back itself).
    void muteContacts(bool muted);
    // One world step with the manager's iteration counts; nothing without a world.
    void stepWorld(float step);
    // Clears the forces gathered over this frame's steps; nothing without a world.
    void clearForces();

    // Destroy a component's body, fixture or joint now, or queue it for the
    // next flush when the world is inside a step (Box2D aborts then) or inside
    // another destruction (whose contact-end calls reach game code, which must
    // not pull bodies out from under Box2D's walk). The caller has already
    // cleared the Box2D object's user data.
    void destroyBody(b2Body* body);
    void destroyFixture(b2Fixture* fixture);
    void destroyJoint(b2Joint* joint);

    // Called by the destruction listener when Box2D frees a fixture or joint
    // with its body: a queued one must not be destroyed again.
    void dropPending(b2Fixture* fixture);
    void dropPending(b2Joint* joint);

    // A scene point or offset (pixels) in Box2D's metres, and back.
    b2Vec2 toMeters(sf::Vector2f pixels) const {
        return {pixels.x / pixelsPerMeter, pixels.y / pixelsPerMeter};
    }
    sf::Vector2f toPixels(b2Vec2 meters) const {
        return {meters.x * pixelsPerMeter, meters.y * pixelsPerMeter};
    }

    std::string defaultLayerName = "_default";
    int32_t velocityIterations = 8;
    int32_t positionIterations = 3;
    float pixelsPerMeter = 100.0f;
    std::shared_ptr<b2World> world;
    std::vector<b2Fixture*> pendingFixtures;
    std::vector<b2Body*> pendingBodies;
    std::vector<b2Joint*> pendingJoints;
    std::unique_ptr<DestructionListener> destructionListener;
    std::unique_ptr<ContactListener> contactListener;
    std::map<std::string, std::shared_ptr<CollisionLayer>> layers;

private:
    PhysicsManager();
    // For `reset` only: the singleton is never copied or moved otherwise.
    PhysicsManager(PhysicsManager&&) = default;
    PhysicsManager& operator=(PhysicsManager&&) = default;
    friend void replaceWithFresh<>(PhysicsManager&, PhysicsManager);
    // Static and kinematic bodies with their places before the running step.
    std::vector<std::pair<b2Body*, b2Transform>> fixedPlaces;
    void releaseWorld();
    // Whether a destruction must wait for the next flush.
    bool mustDefer(b2World& home) const { return home.IsLocked() || destroying > 0; }
    // Runs `destroy` on the object now, or queues it when that must wait.
    template <class Object, class Destroy>
    void destroyOrQueue(b2World& home, Object* object, std::vector<Object*>& queue, Destroy&& destroy);
    // Empties the queue, running `destroy` on each object.
    template <class Object, class Destroy> void destroyQueued(std::vector<Object*>& queue, Destroy&& destroy);

    int destroying = 0;
};
