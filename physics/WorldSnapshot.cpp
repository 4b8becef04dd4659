#include "physics/WorldSnapshot.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/Report.hpp"
#include "physics/Box2DInternals.hpp"

// Named rather than anonymous: a batched build puts other files' helpers
// beside these.
namespace world_snapshot_detail {

using namespace box2d_internals;

// Calls `visit(float&)` on each accumulated impulse of the joint, always in
// the same order for a type. Joint types without warm starting have none.
template <class Visit> void forEachImpulse(b2Joint& joint, Visit&& visit) {
    switch (joint.GetType()) {
    case e_revoluteJoint: {
        auto& j = static_cast<b2RevoluteJoint&>(joint);
        auto& impulse = field<RevoluteImpulse>(j);
        visit(impulse.x), visit(impulse.y), visit(field<RevoluteMotorImpulse>(j));
        visit(field<RevoluteLowerImpulse>(j)), visit(field<RevoluteUpperImpulse>(j));
        break;
    }
    case e_prismaticJoint: {
        auto& j = static_cast<b2PrismaticJoint&>(joint);
        auto& impulse = field<PrismaticImpulse>(j);
        visit(impulse.x), visit(impulse.y), visit(field<PrismaticMotorImpulse>(j));
        visit(field<PrismaticLowerImpulse>(j)), visit(field<PrismaticUpperImpulse>(j));
        break;
    }
    case e_distanceJoint: {
        auto& j = static_cast<b2DistanceJoint&>(joint);
        visit(field<DistanceImpulse>(j)), visit(field<DistanceLowerImpulse>(j));
        visit(field<DistanceUpperImpulse>(j));
        break;
    }
    case e_weldJoint: {
        auto& impulse = field<WeldImpulse>(static_cast<b2WeldJoint&>(joint));
        visit(impulse.x), visit(impulse.y), visit(impulse.z);
        break;
    }
    case e_wheelJoint: {
        auto& j = static_cast<b2WheelJoint&>(joint);
        visit(field<WheelImpulse>(j)), visit(field<WheelMotorImpulse>(j)),
            visit(field<WheelSpringImpulse>(j));
        visit(field<WheelLowerImpulse>(j)), visit(field<WheelUpperImpulse>(j));
        break;
    }
    case e_mouseJoint: {
        auto& impulse = field<MouseImpulse>(static_cast<b2MouseJoint&>(joint));
        visit(impulse.x), visit(impulse.y);
        break;
    }
    case e_frictionJoint: {
        auto& j = static_cast<b2FrictionJoint&>(joint);
        auto& impulse = field<FrictionLinearImpulse>(j);
        visit(impulse.x), visit(impulse.y), visit(field<FrictionAngularImpulse>(j));
        break;
    }
    case e_motorJoint: {
        auto& j = static_cast<b2MotorJoint&>(joint);
        auto& impulse = field<MotorLinearImpulse>(j);
        visit(impulse.x), visit(impulse.y), visit(field<MotorAngularImpulse>(j));
        break;
    }
    case e_pulleyJoint:
        visit(field<PulleyImpulse>(static_cast<b2PulleyJoint&>(joint)));
        break;
    case e_gearJoint:
        visit(field<GearImpulse>(static_cast<b2GearJoint&>(joint)));
        break;
    default:
        break;
    }
}

// Calls `visit(float&)` on each number of the directions the joint's last
// step found for its impulses (see Box2DInternals), in a fixed order.
template <class Visit> void forEachDirection(b2Joint& joint, Visit&& visit) {
    const auto vector = [&visit](b2Vec2& v) { visit(v.x), visit(v.y); };
    switch (joint.GetType()) {
    case e_prismaticJoint: {
        auto& j = static_cast<b2PrismaticJoint&>(joint);
        vector(field<PrismaticAxis>(j)), vector(field<PrismaticPerp>(j));
        break;
    }
    case e_distanceJoint:
        vector(field<DistanceU>(static_cast<b2DistanceJoint&>(joint)));
        break;
    case e_wheelJoint: {
        auto& j = static_cast<b2WheelJoint&>(joint);
        vector(field<WheelAx>(j)), vector(field<WheelAy>(j));
        break;
    }
    case e_pulleyJoint:
        vector(field<PulleyUB>(static_cast<b2PulleyJoint&>(joint)));
        break;
    case e_gearJoint: {
        auto& j = static_cast<b2GearJoint&>(joint);
        vector(field<GearJvAC>(j)), visit(field<GearJwA>(j));
        break;
    }
    default:
        break;
    }
}

// Indices of objects by address: an open-addressed table, as saving runs
// every frame of a rollback and looks up every contact edge and joint end.
template <class Object> class IndexOf {
public:
    explicit IndexOf(size_t count) {
        size_t size = 16;
        while (size < count * 2) {
            size *= 2;
        }
        slots.assign(size, {nullptr, 0});
        mask = size - 1;
    }
    void add(const Object* object) {
        size_t slot = start(object);
        while (slots[slot].first) {
            slot = (slot + 1) & mask;
        }
        slots[slot] = {object, next++};
    }
    // Only for added objects.
    uint32_t operator()(const Object* object) const {
        size_t slot = start(object);
        while (slots[slot].first != object) {
            slot = (slot + 1) & mask;
        }
        return slots[slot].second;
    }

private:
    size_t start(const Object* object) const {
        // Box2D's allocators hand out blocks at least 16 bytes apart.
        return static_cast<size_t>((reinterpret_cast<uintptr_t>(object) >> 4) * 0x9E3779B97F4A7C15ull >> 20) &
               mask;
    }
    std::vector<std::pair<const Object*, uint32_t>> slots;
    size_t mask = 0;
    uint32_t next = 0;
};

template <class Element> size_t bytesOf(const std::vector<Element>& elements) {
    return elements.size() * sizeof(Element);
}

b2BroadPhase& broadPhaseOf(b2World& world) {
    return contactManager(world).m_broadPhase;
}

} // namespace world_snapshot_detail

size_t WorldSnapshot::byteSize() const {
    using world_snapshot_detail::bytesOf;
    return sizeof(*this) + bytesOf(bodies) + bytesOf(fixtures) + bytesOf(proxies) + bytesOf(contacts) +
           bytesOf(contactEdges) + bytesOf(joints) + bytesOf(jointEdges) + bytesOf(treeNodes) +
           bytesOf(moveBuffer);
}

WorldSnapshot saveWorld(const b2World& world) {
    WorldSnapshot snapshot;
    saveWorld(world, snapshot);
    return snapshot;
}

void saveWorld(const b2World& constWorld, WorldSnapshot& snapshot) {
    using namespace world_snapshot_detail;
    // Only read: Box2D's list getters and the reached members need the
    // world itself, not a const view.
    b2World& world = const_cast<b2World&>(constWorld);
    snapshot.bodies.clear();
    snapshot.fixtures.clear();
    snapshot.proxies.clear();
    snapshot.contacts.clear();
    snapshot.contactEdges.clear();
    snapshot.joints.clear();
    snapshot.jointEdges.clear();
    snapshot.bodies.reserve(static_cast<size_t>(world.GetBodyCount()));
    snapshot.contacts.reserve(static_cast<size_t>(world.GetContactCount()));
    snapshot.joints.reserve(static_cast<size_t>(world.GetJointCount()));

    IndexOf<b2Body> bodyIndex(static_cast<size_t>(world.GetBodyCount()));
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        bodyIndex.add(body);
        WorldSnapshot::Body saved;
        saved.body = body;
        saved.type = body->GetType();
        saved.enabled = body->IsEnabled();
        saved.transform = field<BodyTransform>(*body);
        saved.sweep = field<BodySweep>(*body);
        saved.linearVelocity = field<BodyLinearVelocity>(*body);
        saved.angularVelocity = field<BodyAngularVelocity>(*body);
        saved.force = field<BodyForce>(*body);
        saved.torque = field<BodyTorque>(*body);
        saved.flags = field<BodyFlags>(*body);
        saved.sleepTime = field<BodySleepTime>(*body);
        saved.mass = field<BodyMass>(*body);
        saved.invMass = field<BodyInvMass>(*body);
        saved.inertia = field<BodyInertia>(*body);
        saved.invInertia = field<BodyInvInertia>(*body);
        saved.firstFixture = static_cast<uint32_t>(snapshot.fixtures.size());
        for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
            WorldSnapshot::Fixture savedFixture;
            savedFixture.filter = fixture->GetFilterData();
            savedFixture.density = fixture->GetDensity();
            savedFixture.friction = fixture->GetFriction();
            savedFixture.restitution = fixture->GetRestitution();
            savedFixture.firstProxy = static_cast<uint32_t>(snapshot.proxies.size());
            const b2FixtureProxy* proxies = field<FixtureProxies>(*fixture);
            const int32 count = field<FixtureProxyCount>(*fixture);
            for (int32 child = 0; child < count; ++child) {
                snapshot.proxies.push_back({proxies[child].aabb, proxies[child].proxyId});
            }
            savedFixture.proxyCount = static_cast<uint32_t>(count);
            snapshot.fixtures.push_back(savedFixture);
        }
        saved.fixtureCount = static_cast<uint32_t>(snapshot.fixtures.size()) - saved.firstFixture;
        snapshot.bodies.push_back(saved);
    }

    // A fixture's index: its body's first plus its place in the body's list.
    auto fixtureIndex = [&](b2Fixture* fixture) {
        uint32_t index = snapshot.bodies[bodyIndex(fixture->GetBody())].firstFixture;
        for (b2Fixture* before = fixture->GetBody()->GetFixtureList(); before != fixture;
             before = before->GetNext()) {
            ++index;
        }
        return index;
    };

    IndexOf<b2Contact> contactIndex(static_cast<size_t>(world.GetContactCount()));
    for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
        contactIndex.add(contact);
        WorldSnapshot::Contact saved;
        saved.fixtureA = fixtureIndex(contact->GetFixtureA());
        saved.fixtureB = fixtureIndex(contact->GetFixtureB());
        saved.childA = contact->GetChildIndexA();
        saved.childB = contact->GetChildIndexB();
        saved.flags = field<ContactFlags>(*contact);
        saved.manifold = field<ContactManifold>(*contact);
        saved.toiCount = field<ContactToiCount>(*contact);
        saved.toi = field<ContactToi>(*contact);
        saved.friction = contact->GetFriction();
        saved.restitution = contact->GetRestitution();
        saved.restitutionThreshold = contact->GetRestitutionThreshold();
        saved.tangentSpeed = contact->GetTangentSpeed();
        snapshot.contacts.push_back(saved);
    }

    IndexOf<b2Joint> jointIndex(static_cast<size_t>(world.GetJointCount()));
    for (b2Joint* joint = world.GetJointList(); joint; joint = joint->GetNext()) {
        jointIndex.add(joint);
        WorldSnapshot::Joint saved;
        saved.joint = joint;
        saved.type = joint->GetType();
        saved.bodyA = bodyIndex(joint->GetBodyA());
        saved.bodyB = bodyIndex(joint->GetBodyB());
        float* slot = saved.impulses;
        forEachImpulse(*joint, [&slot](float& impulse) { *slot++ = impulse; });
        float* direction = saved.directions;
        forEachDirection(*joint, [&direction](float& value) { *direction++ = value; });
        snapshot.joints.push_back(saved);
    }

    auto savedBody = snapshot.bodies.begin();
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext(), ++savedBody) {
        savedBody->firstContactEdge = static_cast<uint32_t>(snapshot.contactEdges.size());
        for (b2ContactEdge* edge = body->GetContactList(); edge; edge = edge->next) {
            const bool sideB = edge == &field<ContactNodeB>(*edge->contact);
            snapshot.contactEdges.push_back(contactIndex(edge->contact) * 2 + (sideB ? 1 : 0));
        }
        savedBody->contactEdgeCount =
            static_cast<uint32_t>(snapshot.contactEdges.size()) - savedBody->firstContactEdge;
        savedBody->firstJointEdge = static_cast<uint32_t>(snapshot.jointEdges.size());
        for (b2JointEdge* edge = body->GetJointList(); edge; edge = edge->next) {
            const bool sideB = edge == &field<JointEdgeB>(*edge->joint);
            snapshot.jointEdges.push_back(jointIndex(edge->joint) * 2 + (sideB ? 1 : 0));
        }
        savedBody->jointEdgeCount =
            static_cast<uint32_t>(snapshot.jointEdges.size()) - savedBody->firstJointEdge;
    }

    b2BroadPhase& broadPhase = broadPhaseOf(world);
    b2DynamicTree& tree = field<BroadPhaseTree>(broadPhase);
    const b2TreeNode* nodes = field<TreeNodes>(tree);
    snapshot.treeNodes.assign(nodes, nodes + field<TreeNodeCapacity>(tree));
    snapshot.treeRoot = field<TreeRoot>(tree);
    snapshot.treeNodeCount = field<TreeNodeCount>(tree);
    snapshot.treeFreeList = field<TreeFreeList>(tree);
    snapshot.treeInsertionCount = field<TreeInsertionCount>(tree);
    snapshot.proxyCount = field<BroadPhaseProxyCount>(broadPhase);
    const int32* moves = field<BroadPhaseMoveBuffer>(broadPhase);
    snapshot.moveBuffer.assign(moves, moves + field<BroadPhaseMoveCount>(broadPhase));

    snapshot.gravity = world.GetGravity();
    snapshot.previousInverseStep = field<WorldInvDt0>(world);
    snapshot.newContacts = field<WorldNewContacts>(world);
    snapshot.stepComplete = field<WorldStepComplete>(world);
}

WorldObjects savedObjects(const WorldSnapshot& snapshot) {
    WorldObjects objects;
    objects.bodies.reserve(snapshot.bodies.size());
    for (const auto& body : snapshot.bodies) {
        objects.bodies.push_back(body.body);
    }
    objects.joints.reserve(snapshot.joints.size());
    for (const auto& joint : snapshot.joints) {
        objects.joints.push_back(joint.joint);
    }
    return objects;
}

namespace world_snapshot_detail {

// Whether `live` can take the snapshot's place in `world`; reports why not.
bool matches(b2World& world, const WorldSnapshot& snapshot, const WorldObjects& live) {
    if (live.bodies.size() != snapshot.bodies.size() || live.joints.size() != snapshot.joints.size() ||
        static_cast<size_t>(world.GetBodyCount()) != snapshot.bodies.size() ||
        static_cast<size_t>(world.GetJointCount()) != snapshot.joints.size()) {
        reportProblem("World not restored: it holds %d bodies and %d joints, the snapshot %zu and %zu, and "
                      "%zu and %zu were named for them",
                      world.GetBodyCount(), world.GetJointCount(), snapshot.bodies.size(),
                      snapshot.joints.size(), live.bodies.size(), live.joints.size());
        return false;
    }
    for (size_t i = 0; i < live.bodies.size(); ++i) {
        const b2Body* body = live.bodies[i];
        const auto& saved = snapshot.bodies[i];
        bool same = body && body->GetWorld() == &world && body->GetType() == saved.type &&
                    body->IsEnabled() == saved.enabled;
        uint32_t fixture = saved.firstFixture;
        for (const b2Fixture* f = same ? body->GetFixtureList() : nullptr; f && same; f = f->GetNext()) {
            same =
                fixture < saved.firstFixture + saved.fixtureCount &&
                snapshot.fixtures[fixture].proxyCount == static_cast<uint32_t>(field<FixtureProxyCount>(*f));
            ++fixture;
        }
        if (!same || fixture != saved.firstFixture + saved.fixtureCount) {
            reportProblem("World not restored: body %zu is missing, in another world, or differs in type, "
                          "enabled state or fixtures",
                          i);
            return false;
        }
    }
    for (size_t i = 0; i < live.joints.size(); ++i) {
        b2Joint* joint = live.joints[i];
        const auto& saved = snapshot.joints[i];
        if (!joint || joint->GetType() != saved.type || joint->GetBodyA() != live.bodies[saved.bodyA] ||
            joint->GetBodyB() != live.bodies[saved.bodyB]) {
            reportProblem("World not restored: joint %zu is missing or differs in type or bodies", i);
            return false;
        }
    }
    // Every object of the world named once: the counts match, so no repeats
    // means none of the world's left out.
    auto distinct = [](auto objects) {
        std::sort(objects.begin(), objects.end());
        return std::adjacent_find(objects.begin(), objects.end()) == objects.end();
    };
    if (!distinct(live.bodies) || !distinct(live.joints)) {
        reportProblem("World not restored: a body or joint is named twice");
        return false;
    }
    return true;
}

// Links the items in order through `prev`/`next`; returns the first.
template <class Item, class Prev, class Next>
Item* linkInOrder(const std::vector<Item*>& items, Prev&& prev, Next&& next) {
    Item* before = nullptr;
    for (Item* item : items) {
        prev(*item) = before;
        if (before) {
            next(*before) = item;
        }
        before = item;
    }
    if (before) {
        next(*before) = nullptr;
    }
    return items.empty() ? nullptr : items.front();
}

// A Box2D buffer made exactly `count` elements long, for copying into.
template <class Element> Element* resized(Element* buffer, int32 oldCount, int32 count) {
    if (oldCount == count) {
        return buffer;
    }
    b2Free(buffer);
    return static_cast<Element*>(b2Alloc(count * static_cast<int32>(sizeof(Element))));
}

} // namespace world_snapshot_detail

bool restoreWorld(b2World& world, const WorldSnapshot& snapshot, const WorldObjects& live) {
    using namespace world_snapshot_detail;
    if (world.IsLocked()) {
        reportProblem("World not restored: it is inside a step");
        return false;
    }
    if (!matches(world, snapshot, live)) {
        return false;
    }
    b2ContactManager& contacts = contactManager(world);

    // The present contacts go, unheard. Destroying a touching one wakes its
    // bodies, whose flags are written below.
    b2ContactListener* listener = contacts.m_contactListener;
    contacts.m_contactListener = nullptr;
    while (contacts.m_contactList) {
        contacts.Destroy(contacts.m_contactList);
    }
    contacts.m_contactListener = listener;

    // Bodies, in the saved list order, with their fixtures' filters and proxies.
    std::vector<b2Fixture*> fixtures;
    fixtures.reserve(snapshot.fixtures.size());
    std::vector<b2FixtureProxy*> proxies(snapshot.proxies.size());
    field<WorldBodyList>(world) = linkInOrder(
        live.bodies, [](b2Body& b) -> b2Body*& { return field<BodyPrev>(b); },
        [](b2Body& b) -> b2Body*& { return field<BodyNext>(b); });
    for (size_t i = 0; i < live.bodies.size(); ++i) {
        b2Body& body = *live.bodies[i];
        const auto& saved = snapshot.bodies[i];
        field<BodyTransform>(body) = saved.transform;
        field<BodySweep>(body) = saved.sweep;
        field<BodyLinearVelocity>(body) = saved.linearVelocity;
        field<BodyAngularVelocity>(body) = saved.angularVelocity;
        field<BodyForce>(body) = saved.force;
        field<BodyTorque>(body) = saved.torque;
        field<BodyFlags>(body) = saved.flags;
        field<BodySleepTime>(body) = saved.sleepTime;
        field<BodyMass>(body) = saved.mass;
        field<BodyInvMass>(body) = saved.invMass;
        field<BodyInertia>(body) = saved.inertia;
        field<BodyInvInertia>(body) = saved.invInertia;
        uint32_t index = saved.firstFixture;
        for (b2Fixture* fixture = body.GetFixtureList(); fixture; fixture = fixture->GetNext(), ++index) {
            fixtures.push_back(fixture);
            const auto& savedFixture = snapshot.fixtures[index];
            field<FixtureFilter>(*fixture) = savedFixture.filter;
            fixture->SetDensity(savedFixture.density);
            fixture->SetFriction(savedFixture.friction);
            fixture->SetRestitution(savedFixture.restitution);
            b2FixtureProxy* fixtureProxies = field<FixtureProxies>(*fixture);
            for (uint32_t child = 0; child < savedFixture.proxyCount; ++child) {
                const auto& savedProxy = snapshot.proxies[savedFixture.firstProxy + child];
                fixtureProxies[child].aabb = savedProxy.aabb;
                fixtureProxies[child].proxyId = savedProxy.id;
                proxies[savedFixture.firstProxy + child] = &fixtureProxies[child];
            }
        }
    }

    // The broad phase as saved, its leaves pointing at the live proxies.
    b2BroadPhase& broadPhase = broadPhaseOf(world);
    b2DynamicTree& tree = field<BroadPhaseTree>(broadPhase);
    const auto capacity = static_cast<int32>(snapshot.treeNodes.size());
    b2TreeNode*& nodes = field<TreeNodes>(tree);
    nodes = resized(nodes, field<TreeNodeCapacity>(tree), capacity);
    std::memcpy(static_cast<void*>(nodes), snapshot.treeNodes.data(),
                snapshot.treeNodes.size() * sizeof(b2TreeNode));
    field<TreeNodeCapacity>(tree) = capacity;
    field<TreeRoot>(tree) = snapshot.treeRoot;
    field<TreeNodeCount>(tree) = snapshot.treeNodeCount;
    field<TreeFreeList>(tree) = snapshot.treeFreeList;
    field<TreeInsertionCount>(tree) = snapshot.treeInsertionCount;
    for (b2FixtureProxy* proxy : proxies) {
        nodes[proxy->proxyId].userData = proxy;
    }
    field<BroadPhaseProxyCount>(broadPhase) = snapshot.proxyCount;
    const auto moveCount = static_cast<int32>(snapshot.moveBuffer.size());
    int32*& moves = field<BroadPhaseMoveBuffer>(broadPhase);
    int32& moveCapacity = field<BroadPhaseMoveCapacity>(broadPhase);
    if (moveCapacity < moveCount) {
        moves = resized(moves, moveCapacity, moveCount);
        moveCapacity = moveCount;
    }
    std::copy(snapshot.moveBuffer.begin(), snapshot.moveBuffer.end(), moves);
    field<BroadPhaseMoveCount>(broadPhase) = moveCount;

    // The contacts, made again in their saved order with their saved state.
    std::vector<b2Contact*> made(snapshot.contacts.size());
    for (size_t i = 0; i < made.size(); ++i) {
        const auto& saved = snapshot.contacts[i];
        b2Fixture* fixtureA = fixtures[saved.fixtureA];
        b2Fixture* fixtureB = fixtures[saved.fixtureB];
        b2Contact* contact =
            createContact(fixtureA, saved.childA, fixtureB, saved.childB, contacts.m_allocator);
        field<ContactFlags>(*contact) = saved.flags;
        field<ContactManifold>(*contact) = saved.manifold;
        field<ContactToiCount>(*contact) = saved.toiCount;
        field<ContactToi>(*contact) = saved.toi;
        contact->SetFriction(saved.friction);
        contact->SetRestitution(saved.restitution);
        contact->SetRestitutionThreshold(saved.restitutionThreshold);
        contact->SetTangentSpeed(saved.tangentSpeed);
        b2ContactEdge& nodeA = field<ContactNodeA>(*contact);
        b2ContactEdge& nodeB = field<ContactNodeB>(*contact);
        nodeA.contact = nodeB.contact = contact;
        nodeA.other = fixtureB->GetBody();
        nodeB.other = fixtureA->GetBody();
        made[i] = contact;
    }
    contacts.m_contactList = linkInOrder(
        made, [](b2Contact& c) -> b2Contact*& { return field<ContactPrev>(c); },
        [](b2Contact& c) -> b2Contact*& { return field<ContactNext>(c); });
    contacts.m_contactCount = static_cast<int32>(made.size());

    // The joints in the saved list order, with their impulses and their directions.
    for (size_t i = 0; i < live.joints.size(); ++i) {
        const float* slot = snapshot.joints[i].impulses;
        forEachImpulse(*live.joints[i], [&slot](float& impulse) { impulse = *slot++; });
        const float* direction = snapshot.joints[i].directions;
        forEachDirection(*live.joints[i], [&direction](float& value) { value = *direction++; });
    }
    field<WorldJointList>(world) = linkInOrder(
        live.joints, [](b2Joint& j) -> b2Joint*& { return field<JointPrev>(j); },
        [](b2Joint& j) -> b2Joint*& { return field<JointNext>(j); });

    // Each body's contact and joint edges in their saved order.
    for (size_t i = 0; i < live.bodies.size(); ++i) {
        b2Body& body = *live.bodies[i];
        const auto& saved = snapshot.bodies[i];
        b2ContactEdge* previousContact = nullptr;
        field<BodyContactList>(body) = nullptr;
        for (uint32_t k = 0; k < saved.contactEdgeCount; ++k) {
            const uint32_t entry = snapshot.contactEdges[saved.firstContactEdge + k];
            b2Contact& contact = *made[entry / 2];
            b2ContactEdge* edge = (entry & 1) ? &field<ContactNodeB>(contact) : &field<ContactNodeA>(contact);
            edge->prev = previousContact;
            edge->next = nullptr;
            (previousContact ? previousContact->next : field<BodyContactList>(body)) = edge;
            previousContact = edge;
        }
        b2JointEdge* previousJoint = nullptr;
        field<BodyJointList>(body) = nullptr;
        for (uint32_t k = 0; k < saved.jointEdgeCount; ++k) {
            const uint32_t entry = snapshot.jointEdges[saved.firstJointEdge + k];
            b2Joint& joint = *live.joints[entry / 2];
            b2JointEdge* edge = (entry & 1) ? &field<JointEdgeB>(joint) : &field<JointEdgeA>(joint);
            edge->prev = previousJoint;
            edge->next = nullptr;
            (previousJoint ? previousJoint->next : field<BodyJointList>(body)) = edge;
            previousJoint = edge;
        }
    }

    world.SetGravity(snapshot.gravity);
    field<WorldInvDt0>(world) = snapshot.previousInverseStep;
    field<WorldNewContacts>(world) = snapshot.newContacts;
    field<WorldStepComplete>(world) = snapshot.stepComplete;
    return true;
}
