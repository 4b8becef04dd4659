#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <box2d/b2_body.h>
#include <box2d/b2_collision.h>
#include <box2d/b2_dynamic_tree.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_joint.h>
#include <box2d/b2_world.h>

// The whole simulation state of a Box2D world at a step boundary, as a value:
// put back into the world (or into a world with the same bodies, fixtures and
// joints), the following steps give bit for bit what they gave after the save.
//
// Box2D's results depend on more than positions and velocities: contacts and
// joints start each step from the impulses of the previous one, bodies count
// their time towards sleep, the first step's warm start is scaled by the
// previous step's time, and the order of the body, contact and joint lists
// (and the broad-phase tree, whose proxy ids decide a new contact's two sides)
// decides the order the solver meets them in. A snapshot holds all of that,
// with the lists in their order, so restoring puts the world back exactly as
// it was instead of into some equivalent state: no canonical reordering is
// needed before steps, and a world that is saved plays on exactly as one that
// never was (saving reads only).
//
// What a snapshot does not hold: the shapes, fixture and joint settings,
// which only game code changes (its own state must say what they are), and
// the callbacks' objects. User data stays that of the live objects.
class WorldSnapshot {
public:
    struct Body {
        // The body when saved: a key for the caller mapping saved bodies to
        // live ones, never dereferenced by restore unless used as the live one.
        b2Body* body = nullptr;
        b2BodyType type = b2_staticBody;
        bool enabled = true;
        b2Transform transform;
        b2Sweep sweep;
        b2Vec2 linearVelocity;
        float angularVelocity = 0.0f;
        b2Vec2 force;
        float torque = 0.0f;
        uint16_t flags = 0;
        float sleepTime = 0.0f;
        float mass = 0.0f, invMass = 0.0f, inertia = 0.0f, invInertia = 0.0f;
        // Slices of `fixtures`, `contactEdges` and `jointEdges`.
        uint32_t firstFixture = 0, fixtureCount = 0;
        uint32_t firstContactEdge = 0, contactEdgeCount = 0;
        uint32_t firstJointEdge = 0, jointEdgeCount = 0;
    };
    // In the order of the body's fixture list.
    struct Fixture {
        b2Filter filter;
        // Game code changes these on a live fixture (a player's grip).
        float density = 0.0f, friction = 0.0f, restitution = 0.0f;
        // Slice of `proxies`, one per child.
        uint32_t firstProxy = 0, proxyCount = 0;
    };
    struct Proxy {
        b2AABB aabb;
        int32_t id = 0;
    };
    struct Contact {
        // Indices into `fixtures`, and the shapes' child indices.
        uint32_t fixtureA = 0, fixtureB = 0;
        int32_t childA = 0, childB = 0;
        uint32_t flags = 0;
        b2Manifold manifold;
        int32_t toiCount = 0;
        float toi = 0.0f;
        float friction = 0.0f, restitution = 0.0f, restitutionThreshold = 0.0f, tangentSpeed = 0.0f;
    };
    struct Joint {
        b2Joint* joint = nullptr;
        b2JointType type = e_unknownJoint;
        uint32_t bodyA = 0, bodyB = 0;
        // The type's accumulated impulses, in the order restore writes them.
        float impulses[6] = {};
        // The directions its last step found for them, which only the
        // reaction force and torque read (a joint not yet through a step
        // holds whatever its memory held there).
        float directions[5] = {};
    };

    // Newest body first, as in the world's list.
    std::vector<Body> bodies;
    std::vector<Fixture> fixtures;
    std::vector<Proxy> proxies;
    // In the contact manager's list order.
    std::vector<Contact> contacts;
    // Each body's contact edges in its list order: contact index * 2, + 1
    // when the body is the contact's side B.
    std::vector<uint32_t> contactEdges;
    // In the world's joint list order.
    std::vector<Joint> joints;
    // Each body's joint edges in order: joint index * 2, + 1 for side B.
    std::vector<uint32_t> jointEdges;

    // The broad phase: the tree's nodes (user data is rewritten on restore)
    // and the proxies waiting for the next pair search.
    std::vector<b2TreeNode> treeNodes;
    int32_t treeRoot = 0, treeNodeCount = 0, treeFreeList = 0, treeInsertionCount = 0;
    int32_t proxyCount = 0;
    std::vector<int32_t> moveBuffer;

    b2Vec2 gravity{0.0f, 0.0f};
    float previousInverseStep = 0.0f;
    bool newContacts = false;
    bool stepComplete = true;

    // Bytes held, counting the vectors' used elements.
    size_t byteSize() const;
};

// The world's state now. Call it between steps (never from a callback inside one).
WorldSnapshot saveWorld(const b2World& world);
// The same into a snapshot kept for it: its storage is reused, which spares
// a rollback's every-frame save the allocations (most of a fresh save's cost).
void saveWorld(const b2World& world, WorldSnapshot& into);

// The live bodies and joints standing for a snapshot's, index for index.
struct WorldObjects {
    std::vector<b2Body*> bodies;
    std::vector<b2Joint*> joints;
};

// The saved objects themselves: for putting a snapshot back into the world it
// came from while none of them was destroyed.
WorldObjects savedObjects(const WorldSnapshot& snapshot);

// Puts `world` back to the snapshot. `live` names, for every saved body and
// joint, the object of `world` that takes its place: the same ones in the
// same world, or ones a caller recreated (a body cut off since, made again
// with the same type and fixtures and joined to the same bodies by the same
// joint types). The world must hold exactly those bodies and joints; every
// list is relinked into the saved order, so it does not matter in which order
// they were made. The contact listener hears nothing: the contacts' begin and
// end state is the game's own to put back.
//
// A caller that recreates objects should note at save time whose each saved
// body and joint is (through its user data): Box2D reuses a freed object's
// memory, so a saved pointer names nothing once its object is gone. A body
// made again must get its fixtures in the same order as before.
//
// Refuses, reporting why and changing nothing, when the objects do not match
// (count, world, body type, fixture and child counts, enabled state, a
// joint's type or bodies). Returns whether it restored.
bool restoreWorld(b2World& world, const WorldSnapshot& snapshot, const WorldObjects& live);
inline bool restoreWorld(b2World& world, const WorldSnapshot& snapshot) {
    return restoreWorld(world, snapshot, savedObjects(snapshot));
}
