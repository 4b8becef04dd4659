#pragma once

#include <memory>

#include "scene/Component.hpp"

class GameObject;
class ParticleSystemComponent;
class PlayerControllerComponent;
class PrismaticJointComponent;

// One link of a player's physical beard: a dynamic body (1 kg) with a circle
// collider on the layer "beard<n>", plus a small slider body (0.1 kg, object
// named after the segment + "2") on a prismatic joint along the segment's
// local y axis. When a newer segment is joined in front of this one, the
// newer segment's slider is hinged to this segment and the slider is pushed
// outward by a motor, so each link can stretch up to one segment length.
//
// Segments are created only by their player's Beard (`grow`, when the
// controller grows its beard) and cut by it (`cut`, through the controller's
// `cutBeard`). The chain links (`towardChin`, `towardTip`) are weak: each
// segment is owned by its own game object.
class BeardSegmentComponent final : public Component {
public:
    explicit BeardSegmentComponent(int playerNumber);

    // Body, collider, slider and its joint, and the three emitters.
    void init() override;
    // Records touched platforms and movable objects and the other player's
    // cuttable segments; fast impacts play a sound through the owner.
    void onCollisionEnter(std::shared_ptr<GameObject> other) override;
    void onCollisionExit(std::shared_ptr<GameObject> other) override;

    // Links `newer` in front of `older` (toward the chin): the hinge from the
    // newer segment's slider to the older segment, the slider's travel and
    // motor, and a rope between the two as long as the slider's travel.
    static void join(const std::shared_ptr<BeardSegmentComponent>& newer,
                     const std::shared_ptr<BeardSegmentComponent>& older);

    // Locks the slider at zero travel (the segment is the tip).
    void lockSlider();
    // The links, flags and what it touches; the slider's joint is its own.
    void snapshotState(StateIo& io) override;

    // Pixels: collider diameter, slider travel, half the longest link.
    float size = 20.0f;
    // Limit of the hinge to the next segment, both ways (radians).
    float angleLimit = 0.7853982f;
    // False while this is the chin segment.
    bool cuttable = false;
    int index = 0;
    int variantCount = 5;
    bool cut = false;
    // A cuttable segment of the other player's beard this one touches.
    // Observed: two touching beards would otherwise keep each other alive.
    std::weak_ptr<BeardSegmentComponent> hitSegment;
    std::shared_ptr<ParticleSystemComponent> trailParticles;
    std::shared_ptr<ParticleSystemComponent> hitParticles;
    std::shared_ptr<ParticleSystemComponent> cutParticles;
    // The player whose beard this is; set when the beard grows the segment,
    // cleared when that player's beard goes. Observed.
    PlayerControllerComponent* owner = nullptr;
    int playerNumber;
    // A platform or movable object this segment touches.
    std::shared_ptr<GameObject> touched;
    bool touchedPlatform = false;
    // The slider body's object (owned by the GameObjectManager).
    std::shared_ptr<GameObject> slider;
    std::shared_ptr<PrismaticJointComponent> sliderJoint;
    std::weak_ptr<BeardSegmentComponent> towardChin;
    std::weak_ptr<BeardSegmentComponent> towardTip;

private:
    // Squared speed of this segment's body, (m/s)^2.
    float squaredSpeed() const;
};
