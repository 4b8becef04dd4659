#pragma once

#include <memory>

#include <SFML/System/Vector2.hpp>
#include <box2d/b2_joint.h>

#include "physics/Box2DOwnership.hpp"
#include "scene/Component.hpp"

class GameObject;
class b2World;

// Ties the body of its own object's rigid body (body A) to the body of
// another object's rigid body (body B) with one Box2D joint. The concrete
// kinds build the joint definition at `init`, once both bodies exist; a joint
// component added while either body is missing stays inert for good.
//
// The definition is kept, so the joint can be made again: `createJoint`
// always uses the bodies the two objects have now (the anchors and angles of
// the definition are in each body's own frame, so they carry over to a
// replacement body). It refuses while either body is missing, lives in
// another world than the current one, or both are the same body.
//
// When either body is destroyed, Box2D takes the joint with it and the
// component forgets it: `joint`, `bodyA` and `bodyB` become null and
// `isEnabled` false.
//
// Inside a world step (a contact callback) Box2D can neither make nor destroy
// joints: `createJoint` then changes nothing, and `destroyJoint` lets go of
// the joint at once and leaves its destruction to the PhysicsManager's next
// flush.
class JointComponent : public Component {
public:
    // The connected object is only observed.
    explicit JointComponent(std::shared_ptr<GameObject> connectedObject);
    ~JointComponent() override;
    JointComponent(const JointComponent&) = delete;
    JointComponent& operator=(const JointComponent&) = delete;

    // Builds the definition once both bodies exist and makes the joint.
    void init() final;
    // True only while enabled, active and joining two bodies.
    bool isEnabled() override;

    // (Re)creates the joint from the stored definition; nothing without one,
    // nor while the world is stepping (the old joint then stays).
    void createJoint();
    // Lets go of the joint (destroyed now, or at the next flush while the
    // world is stepping); the definition stays for a later `createJoint`.
    void destroyJoint();
    // Taken off its object, or its object is freed: destroys the joint.
    void onRemoved(GameObject& owner) override;
    // Joints go before the fixtures and body they link.
    int releaseOrder() const override { return 1; }
    // Called by the destruction listener: Box2D destroyed the joint.
    void forgetJoint();
    // The joint while its world exists, else null (and forgotten).
    b2Joint* liveJoint();

    // Owned by the world; use liveJoint.
    b2Joint* joint = nullptr;
    // Empty until a concrete `init` found both bodies.
    std::shared_ptr<b2JointDef> jointDef;
    // Owned; the joint's user data.
    OwnerCell<JointComponent>* ownerCell = nullptr;
    std::weak_ptr<GameObject> connectedObject;
    // Whether the two joined bodies still collide; read each time the joint is made.
    bool collideConnected = false;
    // The bodies joined; null without a joint.
    b2Body* bodyA = nullptr;
    b2Body* bodyB = nullptr;

protected:
    // The concrete kind's definition, initialised with body A and body B.
    virtual std::shared_ptr<b2JointDef> makeDefinition(b2Body* a, b2Body* b) = 0;
    // Copies the kind's settings (limits, motors, lengths) into the stored
    // definition; runs each time the joint is made, so a rebuilt joint keeps
    // what game code set. The default has none.
    virtual void writeSettings(b2JointDef& definition);
    // The own object's body and the connected object's body, or null.
    b2Body* ownBody() const;
    b2Body* connectedBody() const;
    // A point or offset in pixels, in metres by the PhysicsManager's scale.
    static b2Vec2 toMeters(sf::Vector2f pixels);

private:
    Box2DOwnership<JointComponent, b2Joint> ownership{ownerCell, joint};
};
