#pragma once

// The one place that reaches Box2D state its classes keep to themselves.
//
// Saving a world and putting it back bit for bit needs values Box2D offers no
// way to read or write: a body's sleep timer, raw transform, sweep and flags,
// the list links that decide the order the solver meets bodies, contacts and
// joints in, the contacts' warm-start data, the joints' accumulated impulses,
// the broad-phase tree and its move buffer, the world's previous inverse time
// step. Box2D 2.4.1 (the version this engine is built against) keeps them
// private or protected.
//
// C++ does not check access in the template arguments of an explicit
// instantiation. `Reach` below is instantiated once per member with the
// member's address; it defines a friend function that hands the member
// pointer out, and nothing else in the code base names these members. Every
// use goes through the small accessors at the end of this file, so a Box2D
// upgrade that renames or moves a member breaks the build here and only here.
// An explicit instantiation may appear once in a program: only
// WorldSnapshot.cpp includes this file.

#include <box2d/b2_body.h>
#include <box2d/b2_broad_phase.h>
#include <box2d/b2_contact.h>
#include <box2d/b2_contact_manager.h>
#include <box2d/b2_distance_joint.h>
#include <box2d/b2_dynamic_tree.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_friction_joint.h>
#include <box2d/b2_gear_joint.h>
#include <box2d/b2_joint.h>
#include <box2d/b2_motor_joint.h>
#include <box2d/b2_mouse_joint.h>
#include <box2d/b2_prismatic_joint.h>
#include <box2d/b2_pulley_joint.h>
#include <box2d/b2_revolute_joint.h>
#include <box2d/b2_weld_joint.h>
#include <box2d/b2_wheel_joint.h>
#include <box2d/b2_world.h>

namespace box2d_internals {

// Hands out `Member` through `memberOf(Tag)`; see the note above.
template <class Tag, typename Tag::Type Member> struct Reach {
    friend typename Tag::Type memberOf(Tag) { return Member; }
};

#define VORLUNE_REACH(TagName, Class, MemberType, member)                                                    \
    struct TagName {                                                                                         \
        using Type = MemberType Class::*;                                                                    \
        friend Type memberOf(TagName);                                                                       \
    };                                                                                                       \
    template struct Reach<TagName, &Class::member>;

VORLUNE_REACH(WorldInvDt0, b2World, float, m_inv_dt0)
VORLUNE_REACH(WorldNewContacts, b2World, bool, m_newContacts)
VORLUNE_REACH(WorldStepComplete, b2World, bool, m_stepComplete)
VORLUNE_REACH(WorldBodyList, b2World, b2Body*, m_bodyList)
VORLUNE_REACH(WorldJointList, b2World, b2Joint*, m_jointList)

VORLUNE_REACH(BodyFlags, b2Body, uint16, m_flags)
VORLUNE_REACH(BodyTransform, b2Body, b2Transform, m_xf)
VORLUNE_REACH(BodySweep, b2Body, b2Sweep, m_sweep)
VORLUNE_REACH(BodyLinearVelocity, b2Body, b2Vec2, m_linearVelocity)
VORLUNE_REACH(BodyAngularVelocity, b2Body, float, m_angularVelocity)
VORLUNE_REACH(BodyForce, b2Body, b2Vec2, m_force)
VORLUNE_REACH(BodyTorque, b2Body, float, m_torque)
VORLUNE_REACH(BodyPrev, b2Body, b2Body*, m_prev)
VORLUNE_REACH(BodyNext, b2Body, b2Body*, m_next)
VORLUNE_REACH(BodyJointList, b2Body, b2JointEdge*, m_jointList)
VORLUNE_REACH(BodyContactList, b2Body, b2ContactEdge*, m_contactList)
VORLUNE_REACH(BodyMass, b2Body, float, m_mass)
VORLUNE_REACH(BodyInvMass, b2Body, float, m_invMass)
VORLUNE_REACH(BodyInertia, b2Body, float, m_I)
VORLUNE_REACH(BodyInvInertia, b2Body, float, m_invI)
VORLUNE_REACH(BodySleepTime, b2Body, float, m_sleepTime)

VORLUNE_REACH(FixtureProxies, b2Fixture, b2FixtureProxy*, m_proxies)
VORLUNE_REACH(FixtureProxyCount, b2Fixture, int32, m_proxyCount)
VORLUNE_REACH(FixtureFilter, b2Fixture, b2Filter, m_filter)

VORLUNE_REACH(ContactFlags, b2Contact, uint32, m_flags)
VORLUNE_REACH(ContactPrev, b2Contact, b2Contact*, m_prev)
VORLUNE_REACH(ContactNext, b2Contact, b2Contact*, m_next)
VORLUNE_REACH(ContactNodeA, b2Contact, b2ContactEdge, m_nodeA)
VORLUNE_REACH(ContactNodeB, b2Contact, b2ContactEdge, m_nodeB)
VORLUNE_REACH(ContactManifold, b2Contact, b2Manifold, m_manifold)
VORLUNE_REACH(ContactToiCount, b2Contact, int32, m_toiCount)
VORLUNE_REACH(ContactToi, b2Contact, float, m_toi)

VORLUNE_REACH(JointPrev, b2Joint, b2Joint*, m_prev)
VORLUNE_REACH(JointNext, b2Joint, b2Joint*, m_next)
VORLUNE_REACH(JointEdgeA, b2Joint, b2JointEdge, m_edgeA)
VORLUNE_REACH(JointEdgeB, b2Joint, b2JointEdge, m_edgeB)

VORLUNE_REACH(BroadPhaseTree, b2BroadPhase, b2DynamicTree, m_tree)
VORLUNE_REACH(BroadPhaseProxyCount, b2BroadPhase, int32, m_proxyCount)
VORLUNE_REACH(BroadPhaseMoveBuffer, b2BroadPhase, int32*, m_moveBuffer)
VORLUNE_REACH(BroadPhaseMoveCapacity, b2BroadPhase, int32, m_moveCapacity)
VORLUNE_REACH(BroadPhaseMoveCount, b2BroadPhase, int32, m_moveCount)

VORLUNE_REACH(TreeRoot, b2DynamicTree, int32, m_root)
VORLUNE_REACH(TreeNodes, b2DynamicTree, b2TreeNode*, m_nodes)
VORLUNE_REACH(TreeNodeCount, b2DynamicTree, int32, m_nodeCount)
VORLUNE_REACH(TreeNodeCapacity, b2DynamicTree, int32, m_nodeCapacity)
VORLUNE_REACH(TreeFreeList, b2DynamicTree, int32, m_freeList)
VORLUNE_REACH(TreeInsertionCount, b2DynamicTree, int32, m_insertionCount)

// Accumulated impulses, the warm-start values of each joint type.
VORLUNE_REACH(RevoluteImpulse, b2RevoluteJoint, b2Vec2, m_impulse)
VORLUNE_REACH(RevoluteMotorImpulse, b2RevoluteJoint, float, m_motorImpulse)
VORLUNE_REACH(RevoluteLowerImpulse, b2RevoluteJoint, float, m_lowerImpulse)
VORLUNE_REACH(RevoluteUpperImpulse, b2RevoluteJoint, float, m_upperImpulse)
VORLUNE_REACH(PrismaticImpulse, b2PrismaticJoint, b2Vec2, m_impulse)
VORLUNE_REACH(PrismaticMotorImpulse, b2PrismaticJoint, float, m_motorImpulse)
VORLUNE_REACH(PrismaticLowerImpulse, b2PrismaticJoint, float, m_lowerImpulse)
VORLUNE_REACH(PrismaticUpperImpulse, b2PrismaticJoint, float, m_upperImpulse)
VORLUNE_REACH(DistanceImpulse, b2DistanceJoint, float, m_impulse)
VORLUNE_REACH(DistanceLowerImpulse, b2DistanceJoint, float, m_lowerImpulse)
VORLUNE_REACH(DistanceUpperImpulse, b2DistanceJoint, float, m_upperImpulse)
VORLUNE_REACH(WeldImpulse, b2WeldJoint, b2Vec3, m_impulse)
VORLUNE_REACH(WheelImpulse, b2WheelJoint, float, m_impulse)
VORLUNE_REACH(WheelMotorImpulse, b2WheelJoint, float, m_motorImpulse)
VORLUNE_REACH(WheelSpringImpulse, b2WheelJoint, float, m_springImpulse)
VORLUNE_REACH(WheelLowerImpulse, b2WheelJoint, float, m_lowerImpulse)
VORLUNE_REACH(WheelUpperImpulse, b2WheelJoint, float, m_upperImpulse)
VORLUNE_REACH(MouseImpulse, b2MouseJoint, b2Vec2, m_impulse)
VORLUNE_REACH(FrictionLinearImpulse, b2FrictionJoint, b2Vec2, m_linearImpulse)
VORLUNE_REACH(FrictionAngularImpulse, b2FrictionJoint, float, m_angularImpulse)
VORLUNE_REACH(MotorLinearImpulse, b2MotorJoint, b2Vec2, m_linearImpulse)
VORLUNE_REACH(MotorAngularImpulse, b2MotorJoint, float, m_angularImpulse)
VORLUNE_REACH(PulleyImpulse, b2PulleyJoint, float, m_impulse)
VORLUNE_REACH(GearImpulse, b2GearJoint, float, m_impulse)

// The directions the last step found for the joint's impulses: what the
// reaction force and torque read the impulses along until the next step.
VORLUNE_REACH(PrismaticAxis, b2PrismaticJoint, b2Vec2, m_axis)
VORLUNE_REACH(PrismaticPerp, b2PrismaticJoint, b2Vec2, m_perp)
VORLUNE_REACH(DistanceU, b2DistanceJoint, b2Vec2, m_u)
VORLUNE_REACH(WheelAx, b2WheelJoint, b2Vec2, m_ax)
VORLUNE_REACH(WheelAy, b2WheelJoint, b2Vec2, m_ay)
VORLUNE_REACH(PulleyUB, b2PulleyJoint, b2Vec2, m_uB)
VORLUNE_REACH(GearJvAC, b2GearJoint, b2Vec2, m_JvAC)
VORLUNE_REACH(GearJwA, b2GearJoint, float, m_JwA)

#undef VORLUNE_REACH

// A contact made straight from two fixtures, without the broad-phase checks of
// b2ContactManager::AddPair (the contacts put back were valid when saved).
struct ContactCreate {
    using Type = b2Contact* (*)(b2Fixture*, int32, b2Fixture*, int32, b2BlockAllocator*);
    friend Type functionOf(ContactCreate);
};
template <class Tag, typename Tag::Type Function> struct ReachFunction {
    friend typename Tag::Type functionOf(Tag) { return Function; }
};
template struct ReachFunction<ContactCreate, &b2Contact::Create>;

// `field<Tag>(object)`: the member `Tag` names, of `object`.
template <class Tag, class Object> auto& field(Object& object) {
    return object.*memberOf(Tag{});
}

inline b2Contact* createContact(b2Fixture* fixtureA, int32 indexA, b2Fixture* fixtureB, int32 indexB,
                                b2BlockAllocator* allocator) {
    return functionOf(ContactCreate{})(fixtureA, indexA, fixtureB, indexB, allocator);
}

// The world's contact manager, which the world hands out read-only; the world
// object itself is not const.
inline b2ContactManager& contactManager(b2World& world) {
    return const_cast<b2ContactManager&>(world.GetContactManager());
}

} // namespace box2d_internals
